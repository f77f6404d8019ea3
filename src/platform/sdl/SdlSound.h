// The sound device of the game: SDL's audio output, with every buffer kept in its wave's own
// format and converted to the device's only as it is mixed.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/OutputLimiter.h"
#include "platform/Platform.h"

struct _SDL_AudioStream;

namespace velmora {

// The mixing of the buffers that are playing, apart from any device: the audio thread
// calls Mix, the game thread everything else. Samples stay as the wave has them (8 or
// 16 bits, mono or stereo, any rate) and go through an SDL_AudioStream per buffer on their
// way into the float mix.
class TStreamMixer {
 public:
  // Enough for every effect copy the game can have sounding at once, with room to spare;
  // a sound started beyond it is dropped, as a full mixer would.
  static constexpr int kMaxPlaying = 256;

  // The device's rate and channel count; the mix is 32-bit float.
  TStreamMixer(int rate, int channels);
  ~TStreamMixer();
  TStreamMixer(const TStreamMixer&) = delete;
  TStreamMixer& operator=(const TStreamMixer&) = delete;

  // Throws when the format cannot be played.
  TSoundBuffer CreateBuffer(const TWaveFormat& format, const TWaveSamples& samples);
  TSoundBuffer Duplicate(TSoundBuffer buffer);
  void Release(TSoundBuffer buffer);
  void Play(TSoundBuffer buffer, bool looped);
  void Stop(TSoundBuffer buffer);
  bool IsPlaying(TSoundBuffer buffer) const;
  void SetVolume(TSoundBuffer buffer, int volume);
  void Clear();

  // Adds `frames` frames of every playing buffer into `out` (interleaved, the device's
  // channel count); buffers that run out stop.
  void Mix(float* out, size_t frames);

  int PlayingCount() const;
  // Bytes of converted sound waiting in the buffers' streams (for tests: it stays small).
  size_t QueuedBytes() const;

 private:
  struct TSource {
    TWaveSamples Samples;
    uint16_t Format = 0;  // SDL's name for the sample format
    int Channels = 1;
    int Rate = 0;
    size_t FrameBytes = 1;
    size_t Length = 0;  // whole frames only
  };
  struct TBuffer {
    std::shared_ptr<const TSource> Source;
    _SDL_AudioStream* Stream = nullptr;  // made when first played
    const uint8_t* Data = nullptr;       // the samples, fetched when first played
    float Gain = 1;
    bool Playing = false;
    bool Looped = false;
    bool Flushed = false;  // the end of a sound played once is in the stream
    size_t Position = 0;   // bytes of the source handed to the stream so far
  };

  TBuffer* Find(TSoundBuffer buffer);
  // Tops the stream up until it holds `bytes` or the sound has ended.
  void Feed(TBuffer& b, int bytes);
  static void FreeStream(TBuffer& b);

  const int Rate_;
  const int Channels_;
  mutable std::mutex Mutex_;
  TSoundBuffer NextHandle_ = 1;
  std::map<TSoundBuffer, TBuffer> Buffers_;
  std::vector<float> Scratch_;
};

class TSdlSound : public ISoundDevice {
 public:
  TSdlSound() = default;
  ~TSdlSound() override;
  TSdlSound(const TSdlSound&) = delete;
  TSdlSound& operator=(const TSdlSound&) = delete;

  bool Initialize() override;
  void Finalize() override;
  bool Initialized() const override { return Initialized_; }
  std::string LastError() const override { return LastError_; }
  TSoundBuffer CreateBuffer(const TWaveFormat& format, const TWaveSamples& samples) override;
  TSoundBuffer Duplicate(TSoundBuffer buffer) override;
  void Release(TSoundBuffer buffer) override;
  void Play(TSoundBuffer buffer, bool looped) override;
  void Stop(TSoundBuffer buffer) override;
  bool IsPlaying(TSoundBuffer buffer) const override;
  void SetVolume(TSoundBuffer buffer, int volume) override;

 private:
  static constexpr std::chrono::seconds kRetryAfterFailure{5};
  std::optional<std::chrono::steady_clock::time_point> LastFailure_;

  // SDL_mixer's music hook, which runs first in every mix on the audio thread: the
  // buffers mixed, then the master gain and the limiter over the sum.
  static void MixStage(void* self, uint8_t* stream, int bytes);

  bool Initialized_ = false;
  std::string LastError_;
  int DeviceChannels_ = 0;
  std::unique_ptr<TStreamMixer> Mixer_;
  std::unique_ptr<TOutputLimiter> Limiter_;
};

// Hundredths of a decibel as the gain the mix applies: the mixer's 128 volume steps, so
// levels are what they have always been.
float MixGain(int volume);

}  // namespace velmora
