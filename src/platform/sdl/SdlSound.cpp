#include "platform/sdl/SdlSound.h"

#include <chrono>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace velmora {

namespace {

constexpr int kInitialChannels = 16;
// Enough for every effect copy the game can have sounding at once, with room to spare.
constexpr int kMaxChannels = 256;

// Hundredths of a decibel to the mixer's 0..128.
int MixerVolume(int volume) {
  if (volume >= 0) return MIX_MAX_VOLUME;
  if (volume <= -10000) return 0;
  return static_cast<int>(std::lround(MIX_MAX_VOLUME * std::pow(10.0, volume / 2000.0)));
}

}  // namespace

TSdlSound::TSample::~TSample() {
  // Freeing a chunk also halts the channels still playing it.
  if (Chunk) Mix_FreeChunk(Chunk);
}

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
  // The mixer works in floating point, where overlapping sounds add up past full scale
  // without being cut off; the output stage then brings the sum down (OutputStage below).
  if (Mix_OpenAudioDevice(44100, AUDIO_F32SYS, 2, 1024, nullptr,
                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) < 0) {
    LastError_ = Mix_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    LastFailure_ = now;
    return false;
  }
  LastFailure_.reset();
  int rate = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&rate, &format, &channels);
  DeviceRate_ = rate;
  DeviceFormat_ = format;
  DeviceChannels_ = channels;
  ChannelOwner_.assign(Mix_AllocateChannels(kInitialChannels), 0);
  Limiter_ = std::make_unique<TOutputLimiter>(rate);
  if (format == AUDIO_F32SYS) Mix_SetPostMix(OutputStage, this);
  LastError_.clear();
  Initialized_ = true;
  return true;
}

void TSdlSound::Finalize() {
  if (!Initialized_) return;
  Mix_HaltChannel(-1);
  Buffers_.clear();  // frees the chunks while the mixer is still open
  ChannelOwner_.clear();
  Mix_SetPostMix(nullptr, nullptr);
  Mix_CloseAudio();
  Limiter_.reset();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  Initialized_ = false;
}

void TSdlSound::OutputStage(void* self, uint8_t* stream, int bytes) {
  // Runs on the audio thread; the limiter's state is touched nowhere else while the
  // device is open.
  auto* sound = static_cast<TSdlSound*>(self);
  const int channels = std::max(sound->DeviceChannels_, 1);
  sound->Limiter_->Process(reinterpret_cast<float*>(stream),
                           static_cast<size_t>(bytes) / sizeof(float) / channels, channels);
}

TSdlSound::TBuffer* TSdlSound::Find(TSoundBuffer buffer) {
  auto it = Buffers_.find(buffer);
  return it == Buffers_.end() ? nullptr : &it->second;
}

int TSdlSound::OwnedChannel(TSoundBuffer buffer, const TBuffer& b) const {
  if (b.Channel < 0 || b.Channel >= static_cast<int>(ChannelOwner_.size())) return -1;
  return ChannelOwner_[b.Channel] == buffer ? b.Channel : -1;
}

TSoundBuffer TSdlSound::CreateBuffer(const TWaveFormat& format,
                                     const std::vector<uint8_t>& samples) {
  if (!Initialized_) throw std::runtime_error("サウンド デバイスが初期化されていません");
  const bool playable = format.FormatTag == 1 && (format.Channels == 1 || format.Channels == 2) &&
                        (format.BitsPerSample == 8 || format.BitsPerSample == 16) &&
                        format.SamplesPerSec >= 1000 && format.SamplesPerSec <= 192000;
  if (!playable) throw std::runtime_error("再生できない Wave 形式です");

  const size_t frame = size_t{format.Channels} * (format.BitsPerSample / 8);
  const size_t length = samples.size() / frame * frame;
  SDL_AudioCVT cvt;
  const int built =
      SDL_BuildAudioCVT(&cvt, format.BitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB,
                        static_cast<Uint8>(format.Channels), static_cast<int>(format.SamplesPerSec),
                        DeviceFormat_, static_cast<Uint8>(DeviceChannels_), DeviceRate_);
  if (built < 0) throw std::runtime_error(SDL_GetError());

  auto sample = std::make_shared<TSample>();
  sample->Pcm.resize(std::max<size_t>(length * cvt.len_mult, 1));
  if (length > 0) std::memcpy(sample->Pcm.data(), samples.data(), length);
  size_t converted = length;
  if (built == 1 && length > 0) {
    cvt.buf = sample->Pcm.data();
    cvt.len = static_cast<int>(length);
    if (SDL_ConvertAudio(&cvt) < 0) throw std::runtime_error(SDL_GetError());
    converted = static_cast<size_t>(cvt.len_cvt);
  }
  sample->Pcm.resize(std::max<size_t>(converted, 1));
  sample->Chunk = Mix_QuickLoad_RAW(sample->Pcm.data(), static_cast<Uint32>(converted));
  if (!sample->Chunk) throw std::runtime_error(Mix_GetError());

  const TSoundBuffer handle = NextHandle_++;
  Buffers_[handle].Sample = std::move(sample);
  return handle;
}

TSoundBuffer TSdlSound::Duplicate(TSoundBuffer buffer) {
  TBuffer* original = Find(buffer);
  if (!original) return 0;
  const TSoundBuffer handle = NextHandle_++;
  TBuffer& copy = Buffers_[handle];
  copy.Sample = original->Sample;
  copy.Volume = original->Volume;
  return handle;
}

void TSdlSound::Release(TSoundBuffer buffer) {
  TBuffer* b = Find(buffer);
  if (!b) return;
  if (int ch = OwnedChannel(buffer, *b); ch >= 0) {
    Mix_HaltChannel(ch);
    ChannelOwner_[ch] = 0;
  }
  Buffers_.erase(buffer);
}

int TSdlSound::FreeChannel() {
  int ch = Mix_GroupAvailable(-1);
  if (ch >= 0) return ch;
  const int count = static_cast<int>(ChannelOwner_.size());
  if (count >= kMaxChannels) return -1;
  const int grown = Mix_AllocateChannels(std::min(count * 2, kMaxChannels));
  ChannelOwner_.resize(grown, 0);
  return Mix_GroupAvailable(-1);
}

void TSdlSound::Play(TSoundBuffer buffer, bool looped) {
  TBuffer* b = Find(buffer);
  if (!b) return;
  if (int ch = OwnedChannel(buffer, *b); ch >= 0) Mix_HaltChannel(ch);
  const int ch = FreeChannel();
  if (ch < 0) {
    b->Channel = -1;
    return;  // every channel busy: this sound is dropped, as a full mixer would
  }
  // The volume goes on the channel before the sound starts, so no loud first samples.
  Mix_Volume(ch, MixerVolume(b->Volume));
  if (Mix_PlayChannel(ch, b->Sample->Chunk, looped ? -1 : 0) < 0) {
    b->Channel = -1;
    return;
  }
  ChannelOwner_[ch] = buffer;
  b->Channel = ch;
}

void TSdlSound::Stop(TSoundBuffer buffer) {
  TBuffer* b = Find(buffer);
  if (!b) return;
  if (int ch = OwnedChannel(buffer, *b); ch >= 0) Mix_HaltChannel(ch);
}

bool TSdlSound::IsPlaying(TSoundBuffer buffer) const {
  auto it = Buffers_.find(buffer);
  if (it == Buffers_.end()) return false;
  const int ch = OwnedChannel(buffer, it->second);
  return ch >= 0 && Mix_Playing(ch) != 0;
}

void TSdlSound::SetVolume(TSoundBuffer buffer, int volume) {
  TBuffer* b = Find(buffer);
  if (!b) return;
  b->Volume = volume;
  if (int ch = OwnedChannel(buffer, *b); ch >= 0) Mix_Volume(ch, MixerVolume(volume));
}

}  // namespace velmora
