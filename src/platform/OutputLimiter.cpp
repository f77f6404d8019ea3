#include "platform/OutputLimiter.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

// The level a peak of `level` comes out at: unchanged up to the knee, then bent smoothly
// towards the ceiling.
float Curve(float level) {
  if (level <= TOutputLimiter::kKnee) return level;
  const float room = TOutputLimiter::kCeiling - TOutputLimiter::kKnee;
  return TOutputLimiter::kKnee + room * std::tanh((level - TOutputLimiter::kKnee) / room);
}

}  // namespace

TOutputLimiter::TOutputLimiter(int sampleRate, float masterGain)
    : MasterGain_(masterGain),
      // Lets go over about 150 ms: quick enough not to duck the music after a blast, slow
      // enough not to ripple along the waveform of a low note.
      Release_(std::exp(-1.0f / (0.15f * static_cast<float>(std::max(sampleRate, 1))))) {}

float TOutputLimiter::Reduction() const {
  return Envelope_ > kKnee ? Curve(Envelope_) / Envelope_ : 1.0f;
}

void TOutputLimiter::Process(float* samples, size_t frames, int channels) {
  if (channels <= 0) return;
  for (size_t f = 0; f < frames; ++f) {
    float* frame = samples + f * static_cast<size_t>(channels);
    float peak = 0;
    for (int c = 0; c < channels; ++c) {
      frame[c] *= MasterGain_;
      peak = std::max(peak, std::abs(frame[c]));
    }
    // The envelope rises at once with a peak, so this very frame is already held down.
    Envelope_ = std::max(peak, Envelope_ * Release_);
    const float gain = Reduction();
    if (gain < 1.0f)
      for (int c = 0; c < channels; ++c)
        frame[c] *= gain;
  }
}

}  // namespace velmora
