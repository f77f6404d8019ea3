#include "platform/headless/HeadlessSound.h"

#include <stdexcept>

namespace velmora {

namespace {

// The same formats the real device takes, so that tests fail where the game would.
void CheckPlayableFormat(const TWaveFormat& format) {
  const bool ok = format.FormatTag == 1 && (format.Channels == 1 || format.Channels == 2) &&
                  (format.BitsPerSample == 8 || format.BitsPerSample == 16) &&
                  format.SamplesPerSec >= 1000 && format.SamplesPerSec <= 192000;
  if (!ok) throw std::runtime_error("再生できない Wave 形式です");
}

}  // namespace

THeadlessSound::THeadlessSound(ISystem& system) : Now_([&system] { return system.TickCount(); }) {}

THeadlessSound::THeadlessSound(std::function<uint32_t()> now) : Now_(std::move(now)) {}

bool THeadlessSound::Initialize() {
  ++InitializeCount;
  if (FailInitialize) {
    LastError_ = FailMessage;
    return false;
  }
  LastError_.clear();
  Initialized_ = true;
  return true;
}

void THeadlessSound::Finalize() {
  if (Initialized_) ++FinalizeCount;
  Initialized_ = false;
  Buffers_.clear();
}

THeadlessSound::TBuffer* THeadlessSound::Find(TSoundBuffer buffer) {
  auto it = Buffers_.find(buffer);
  return it == Buffers_.end() ? nullptr : &it->second;
}

const THeadlessSound::TBuffer* THeadlessSound::Find(TSoundBuffer buffer) const {
  auto it = Buffers_.find(buffer);
  return it == Buffers_.end() ? nullptr : &it->second;
}

TSoundBuffer THeadlessSound::CreateBuffer(const TWaveFormat& format, const TWaveSamples& samples) {
  if (!Initialized_) throw std::runtime_error("サウンド デバイスが初期化されていません");
  CheckPlayableFormat(format);
  auto wave = std::make_shared<TWave>();
  wave->SampleBytes = samples.size();
  const uint64_t bytesPerSecond =
      uint64_t{format.SamplesPerSec} * format.Channels * (format.BitsPerSample / 8);
  wave->DurationMs = static_cast<uint32_t>((samples.size() * uint64_t{1000} + bytesPerSecond - 1) /
                                           bytesPerSecond);
  const TSoundBuffer handle = NextHandle_++;
  TBuffer& b = Buffers_[handle];
  b.Wave = std::move(wave);
  b.Source = handle;
  return handle;
}

TSoundBuffer THeadlessSound::Duplicate(TSoundBuffer buffer) {
  const TBuffer* original = Find(buffer);
  if (!original) return 0;
  const TSoundBuffer handle = NextHandle_++;
  TBuffer& b = Buffers_[handle];
  b.Wave = original->Wave;
  b.Source = original->Source;
  b.Volume = original->Volume;
  return handle;
}

void THeadlessSound::Release(TSoundBuffer buffer) {
  Buffers_.erase(buffer);
}

void THeadlessSound::Play(TSoundBuffer buffer, bool looped) {
  TBuffer* b = Find(buffer);
  if (!b) return;
  b->Playing = true;
  b->Looped = looped;
  b->Start = Now_();
  PlayLog.push_back({buffer, b->Source, looped, b->Wave->SampleBytes, b->Volume, b->Start});
}

void THeadlessSound::Stop(TSoundBuffer buffer) {
  if (TBuffer* b = Find(buffer)) b->Playing = false;
}

bool THeadlessSound::IsPlaying(TSoundBuffer buffer) const {
  const TBuffer* b = Find(buffer);
  if (!b || !b->Playing) return false;
  return b->Looped || Now_() - b->Start < b->Wave->DurationMs;
}

void THeadlessSound::SetVolume(TSoundBuffer buffer, int volume) {
  if (TBuffer* b = Find(buffer)) b->Volume = volume;
}

int THeadlessSound::VolumeOf(TSoundBuffer buffer) const {
  const TBuffer* b = Find(buffer);
  return b ? b->Volume : 0;
}

uint32_t THeadlessSound::DurationOf(TSoundBuffer buffer) const {
  const TBuffer* b = Find(buffer);
  return b ? b->Wave->DurationMs : 0;
}

}  // namespace velmora
