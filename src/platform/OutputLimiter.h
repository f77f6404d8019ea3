// The last stage of the sound output: one master gain for everything the game plays, then a
// soft limiter, so a loud moment (an explosion over held fire over the music) is bent
// gently under full scale instead of being cut off square.
#pragma once

#include <cstddef>

namespace velmora {

class TOutputLimiter {
 public:
  // Everything is mixed this far under full scale, so ordinary play never reaches the
  // limiter at all: about -4.4 dB.
  static constexpr float kMasterGain = 0.6f;
  // Peaks above the knee (-3 dBFS) are bent towards the ceiling (-0.3 dBFS), never past it.
  static constexpr float kKnee = 0.708f;
  static constexpr float kCeiling = 0.966f;

  explicit TOutputLimiter(int sampleRate, float masterGain = kMasterGain);

  // Works in place on interleaved float frames (full scale = 1.0).
  void Process(float* samples, size_t frames, int channels);
  // Gain the limiter is taking off at the moment, 1 when it is idle.
  float Reduction() const;
  void Reset() { Envelope_ = 0; }

 private:
  float MasterGain_;
  float Release_;  // the envelope's fall per sample
  float Envelope_ = 0;
};

}  // namespace velmora
