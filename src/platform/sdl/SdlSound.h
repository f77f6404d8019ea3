// The sound device of the game: SDL's audio output with its mixer doing the overlapping.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/OutputLimiter.h"
#include "platform/Platform.h"

struct Mix_Chunk;

namespace velmora {

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
  TSoundBuffer CreateBuffer(const TWaveFormat& format,
                            const std::vector<uint8_t>& samples) override;
  TSoundBuffer Duplicate(TSoundBuffer buffer) override;
  void Release(TSoundBuffer buffer) override;
  void Play(TSoundBuffer buffer, bool looped) override;
  void Stop(TSoundBuffer buffer) override;
  bool IsPlaying(TSoundBuffer buffer) const override;
  void SetVolume(TSoundBuffer buffer, int volume) override;

 private:
  static constexpr std::chrono::seconds kRetryAfterFailure{5};
  std::optional<std::chrono::steady_clock::time_point> LastFailure_;

  // Samples converted to the device's format, shared by a buffer and its copies.
  struct TSample {
    std::vector<uint8_t> Pcm;
    Mix_Chunk* Chunk = nullptr;
    ~TSample();
  };
  struct TBuffer {
    std::shared_ptr<TSample> Sample;
    int Channel = -1;  // the mixer channel it last played on
    int Volume = 0;
  };

  // SDL_mixer's post-mix hook: the master gain and the limiter on everything mixed.
  static void OutputStage(void* self, uint8_t* stream, int bytes);

  TBuffer* Find(TSoundBuffer buffer);
  // The channel the buffer is still holding, or -1 when another buffer has taken it since.
  int OwnedChannel(TSoundBuffer buffer, const TBuffer& b) const;
  int FreeChannel();

  bool Initialized_ = false;
  std::string LastError_;
  int DeviceRate_ = 0;
  uint16_t DeviceFormat_ = 0;
  int DeviceChannels_ = 0;
  TSoundBuffer NextHandle_ = 1;
  std::map<TSoundBuffer, TBuffer> Buffers_;
  std::vector<TSoundBuffer> ChannelOwner_;
  std::unique_ptr<TOutputLimiter> Limiter_;
};

}  // namespace velmora
