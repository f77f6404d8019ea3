// A sound device without sound: it keeps buffers as bookkeeping, plays them against a
// virtual clock for as long as their samples last, and records every play for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace velmora {

class THeadlessSound : public ISoundDevice {
 public:
  struct TPlayRecord {
    TSoundBuffer Buffer = 0;
    TSoundBuffer Source = 0;  // the buffer made from the wave data (itself when not a copy)
    bool Looped = false;
    size_t SampleBytes = 0;
    int Volume = 0;
    uint32_t At = 0;  // virtual time of the start
  };

  // Time comes from the system's tick count (which a headless system advances in Sleep).
  explicit THeadlessSound(ISystem& system);
  explicit THeadlessSound(std::function<uint32_t()> now);

  // For tests: make Initialize fail with this message.
  bool FailInitialize = false;
  std::string FailMessage = "サウンド デバイスがありません";

  std::vector<TPlayRecord> PlayLog;
  int InitializeCount = 0;
  int FinalizeCount = 0;

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

  // For tests: buffers alive now, and a buffer's volume (0 for unknown buffers).
  int BufferCount() const { return static_cast<int>(Buffers_.size()); }
  int VolumeOf(TSoundBuffer buffer) const;
  // Milliseconds a buffer's samples last.
  uint32_t DurationOf(TSoundBuffer buffer) const;

 private:
  struct TWave {
    size_t SampleBytes = 0;
    uint32_t DurationMs = 0;
  };
  struct TBuffer {
    std::shared_ptr<const TWave> Wave;
    TSoundBuffer Source = 0;
    bool Playing = false;
    bool Looped = false;
    uint32_t Start = 0;
    int Volume = 0;
  };

  TBuffer* Find(TSoundBuffer buffer);
  const TBuffer* Find(TSoundBuffer buffer) const;

  std::function<uint32_t()> Now_;
  bool Initialized_ = false;
  std::string LastError_;
  TSoundBuffer NextHandle_ = 1;
  std::map<TSoundBuffer, TBuffer> Buffers_;
};

}  // namespace velmora
