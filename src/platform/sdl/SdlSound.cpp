#include "platform/sdl/SdlSound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace velmora {

namespace {

// Source frames handed to a stream at a time: about a device callback's worth, so the
// stream's own buffers stay a few kilobytes.
constexpr size_t kFeedFrames = 1024;

bool Playable(const TWaveFormat& format) {
  return format.FormatTag == 1 && (format.Channels == 1 || format.Channels == 2) &&
         (format.BitsPerSample == 8 || format.BitsPerSample == 16) &&
         format.SamplesPerSec >= 1000 && format.SamplesPerSec <= 192000;
}

}  // namespace

float MixGain(int volume) {
  if (volume >= 0) return 1.0f;
  if (volume <= -10000) return 0.0f;
  const long steps = std::lround(MIX_MAX_VOLUME * std::pow(10.0, volume / 2000.0));
  return static_cast<float>(steps) / MIX_MAX_VOLUME;
}

// ---- the mix ---------------------------------------------------------------------------

TStreamMixer::TStreamMixer(int rate, int channels)
    : Rate_(std::max(rate, 1)), Channels_(std::max(channels, 1)) {}

TStreamMixer::~TStreamMixer() {
  Clear();
}

void TStreamMixer::FreeStream(TBuffer& b) {
  if (b.Stream) SDL_FreeAudioStream(b.Stream);
  b.Stream = nullptr;
}

void TStreamMixer::Clear() {
  std::lock_guard lock(Mutex_);
  for (auto& [handle, b] : Buffers_)
    FreeStream(b);
  Buffers_.clear();
}

TStreamMixer::TBuffer* TStreamMixer::Find(TSoundBuffer buffer) {
  auto it = Buffers_.find(buffer);
  return it == Buffers_.end() ? nullptr : &it->second;
}

TSoundBuffer TStreamMixer::CreateBuffer(const TWaveFormat& format, const TWaveSamples& samples) {
  if (!Playable(format)) throw std::runtime_error("再生できない Wave 形式です");
  auto source = std::make_shared<TSource>();
  source->Samples = samples;
  source->Format = format.BitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  source->Channels = format.Channels;
  source->Rate = static_cast<int>(format.SamplesPerSec);
  source->FrameBytes = size_t{format.Channels} * (format.BitsPerSample / 8);
  // A torn last frame is not played.
  source->Length = samples.size() / source->FrameBytes * source->FrameBytes;
  std::lock_guard lock(Mutex_);
  const TSoundBuffer handle = NextHandle_++;
  Buffers_[handle].Source = std::move(source);
  return handle;
}

TSoundBuffer TStreamMixer::Duplicate(TSoundBuffer buffer) {
  std::lock_guard lock(Mutex_);
  TBuffer* original = Find(buffer);
  if (!original) return 0;
  const TSoundBuffer handle = NextHandle_++;
  TBuffer& copy = Buffers_[handle];
  copy.Source = original->Source;
  copy.Data = original->Data;
  copy.Gain = original->Gain;
  return handle;
}

void TStreamMixer::Release(TSoundBuffer buffer) {
  std::lock_guard lock(Mutex_);
  if (TBuffer* b = Find(buffer)) {
    FreeStream(*b);
    Buffers_.erase(buffer);
  }
}

int TStreamMixer::PlayingCount() const {
  std::lock_guard lock(Mutex_);
  int playing = 0;
  for (const auto& [handle, b] : Buffers_)
    playing += b.Playing ? 1 : 0;
  return playing;
}

size_t TStreamMixer::QueuedBytes() const {
  std::lock_guard lock(Mutex_);
  size_t queued = 0;
  for (const auto& [handle, b] : Buffers_)
    if (b.Stream) queued += static_cast<size_t>(std::max(SDL_AudioStreamAvailable(b.Stream), 0));
  return queued;
}

void TStreamMixer::Play(TSoundBuffer buffer, bool looped) {
  // A tune still in its file is read first, on the game's thread and outside the lock, so
  // the mix neither waits for the disk nor finds the samples missing.
  std::shared_ptr<const TSource> fetch;
  {
    std::lock_guard lock(Mutex_);
    const TBuffer* b = Find(buffer);
    if (!b) return;
    if (!b->Data) fetch = b->Source;
  }
  const uint8_t* data = fetch ? fetch->Samples.data() : nullptr;

  std::lock_guard lock(Mutex_);
  TBuffer* b = Find(buffer);
  if (!b) return;
  if (!b->Data) b->Data = data;
  if (!b->Playing) {
    int playing = 0;
    for (const auto& [handle, other] : Buffers_)
      playing += other.Playing ? 1 : 0;
    if (playing >= kMaxPlaying) return;
  }
  const TSource& source = *b->Source;
  if (!b->Stream) {
    b->Stream = SDL_NewAudioStream(source.Format, static_cast<Uint8>(source.Channels), source.Rate,
                                   AUDIO_F32SYS, static_cast<Uint8>(Channels_), Rate_);
  } else {
    // Whatever the last play left in the resampler must not sound before this one.
    SDL_AudioStreamClear(b->Stream);
  }
  b->Position = 0;
  b->Flushed = false;
  b->Looped = looped;
  // Nothing to play loops for ever as silence if allowed to; it simply does not play.
  b->Playing = b->Stream != nullptr && b->Data != nullptr && source.Length > 0;
}

void TStreamMixer::Stop(TSoundBuffer buffer) {
  std::lock_guard lock(Mutex_);
  if (TBuffer* b = Find(buffer)) b->Playing = false;
}

bool TStreamMixer::IsPlaying(TSoundBuffer buffer) const {
  std::lock_guard lock(Mutex_);
  auto it = Buffers_.find(buffer);
  return it != Buffers_.end() && it->second.Playing;
}

void TStreamMixer::SetVolume(TSoundBuffer buffer, int volume) {
  std::lock_guard lock(Mutex_);
  if (TBuffer* b = Find(buffer)) b->Gain = MixGain(volume);
}

void TStreamMixer::Feed(TBuffer& b, int bytes) {
  const TSource& source = *b.Source;
  const uint8_t* samples = b.Data;
  while (SDL_AudioStreamAvailable(b.Stream) < bytes) {
    if (b.Position < source.Length) {
      const size_t n = std::min(source.Length - b.Position, kFeedFrames * source.FrameBytes);
      if (SDL_AudioStreamPut(b.Stream, samples + b.Position, static_cast<int>(n)) < 0) {
        b.Playing = false;
        return;
      }
      b.Position += n;
      // A looped sound goes straight on from its start, through the same resampler: no
      // gap and no click where it joins.
      if (b.Position == source.Length && b.Looped) b.Position = 0;
    } else if (!b.Flushed) {
      SDL_AudioStreamFlush(b.Stream);
      b.Flushed = true;
    } else {
      return;
    }
  }
}

void TStreamMixer::Mix(float* out, size_t frames) {
  std::lock_guard lock(Mutex_);
  const size_t count = frames * static_cast<size_t>(Channels_);
  const int bytes = static_cast<int>(count * sizeof(float));
  if (Scratch_.size() < count) Scratch_.resize(count);
  for (auto& [handle, b] : Buffers_) {
    if (!b.Playing) continue;
    Feed(b, bytes);
    if (!b.Playing) continue;
    const int got = SDL_AudioStreamGet(b.Stream, Scratch_.data(), bytes);
    const size_t values = got > 0 ? static_cast<size_t>(got) / sizeof(float) : 0;
    // The same arithmetic as the mixer's volume steps always had.
    for (size_t i = 0; i < values; ++i)
      out[i] += Scratch_[i] * b.Gain;
    if (got < bytes && b.Flushed && SDL_AudioStreamAvailable(b.Stream) == 0) {
      b.Playing = false;
      // A sound played once gives its stream back; the next play makes a new one.
      FreeStream(b);
    }
  }
}

// ---- the device ------------------------------------------------------------------------

TSdlSound::~TSdlSound() {
  Finalize();
}

bool TSdlSound::Initialize() {
  if (Initialized_) return true;
  // The game asks again before every effect while the device is off; on a machine without
  // one, opening it each time would stall every shot. Ask the system at most every few
  // seconds and repeat the last answer in between.
  const auto now = std::chrono::steady_clock::now();
  if (LastFailure_ && now - *LastFailure_ < kRetryAfterFailure) return false;
  // The program handles SIGINT and SIGTERM itself (an orderly close that keeps the settings).
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) < 0) {
    LastError_ = SDL_GetError();
    LastFailure_ = now;
    return false;
  }
  // The mix is floating point, where overlapping sounds add up past full scale without
  // being cut off; the output stage then brings the sum down (MixStage below).
  if (Mix_OpenAudioDevice(44100, AUDIO_F32SYS, 2, 1024, nullptr,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) < 0) {
    LastError_ = Mix_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    LastFailure_ = now;
    return false;
  }
  int rate = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&rate, &format, &channels);
  if (format != AUDIO_F32SYS || channels < 1) {
    // SDL converts for the hardware, so this is not expected; the mix could not be written.
    LastError_ = "unexpected mixer format";
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    LastFailure_ = now;
    return false;
  }
  LastFailure_.reset();
  DeviceChannels_ = channels;
  Mixer_ = std::make_unique<TStreamMixer>(rate, channels);
  Limiter_ = std::make_unique<TOutputLimiter>(rate);
  Mix_HookMusic(MixStage, this);
  LastError_.clear();
  Initialized_ = true;
  return true;
}

void TSdlSound::Finalize() {
  if (!Initialized_) return;
  Mix_HookMusic(nullptr, nullptr);
  Mix_CloseAudio();
  Mixer_.reset();
  Limiter_.reset();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  Initialized_ = false;
}

void TSdlSound::MixStage(void* self, uint8_t* stream, int bytes) {
  // Runs on the audio thread. The limiter's state is touched nowhere else while the device
  // is open; the mixer locks what the game thread shares with it.
  auto* sound = static_cast<TSdlSound*>(self);
  auto* out = reinterpret_cast<float*>(stream);
  const size_t channels = static_cast<size_t>(std::max(sound->DeviceChannels_, 1));
  const size_t frames = static_cast<size_t>(std::max(bytes, 0)) / sizeof(float) / channels;
  std::fill(out, out + frames * channels, 0.0f);
  sound->Mixer_->Mix(out, frames);
  sound->Limiter_->Process(out, frames, static_cast<int>(channels));
}

TSoundBuffer TSdlSound::CreateBuffer(const TWaveFormat& format, const TWaveSamples& samples) {
  if (!Initialized_) throw std::runtime_error("サウンド デバイスが初期化されていません");
  return Mixer_->CreateBuffer(format, samples);
}

TSoundBuffer TSdlSound::Duplicate(TSoundBuffer buffer) {
  return Mixer_ ? Mixer_->Duplicate(buffer) : 0;
}

void TSdlSound::Release(TSoundBuffer buffer) {
  if (Mixer_) Mixer_->Release(buffer);
}

void TSdlSound::Play(TSoundBuffer buffer, bool looped) {
  if (Mixer_) Mixer_->Play(buffer, looped);
}

void TSdlSound::Stop(TSoundBuffer buffer) {
  if (Mixer_) Mixer_->Stop(buffer);
}

bool TSdlSound::IsPlaying(TSoundBuffer buffer) const {
  return Mixer_ && Mixer_->IsPlaying(buffer);
}

void TSdlSound::SetVolume(TSoundBuffer buffer, int volume) {
  if (Mixer_) Mixer_->SetVolume(buffer, volume);
}

}  // namespace velmora
