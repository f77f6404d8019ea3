// The mix of the SDL sound layer, without a device: buffers kept in their wave's own format
// and converted to 44.1 kHz float stereo block by block as the device asks for them.
#if __has_include(<SDL.h>)

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "platform/sdl/SdlSound.h"

namespace velmora {
namespace {

constexpr int kRate = 44100;
constexpr size_t kBlock = 1024;  // frames the device asks for at a time

TWaveFormat Format(uint32_t rate, uint16_t channels, uint16_t bits) {
  TWaveFormat f;
  f.Channels = channels;
  f.SamplesPerSec = rate;
  f.BitsPerSample = bits;
  f.BlockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.AvgBytesPerSec = rate * f.BlockAlign;
  return f;
}

void Put16(std::vector<uint8_t>& bytes, int value) {
  bytes.push_back(static_cast<uint8_t>(value & 0xFF));
  bytes.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

// 16-bit samples, every frame holding the same values (one per channel).
TWaveSamples Constant16(size_t frames, std::vector<int> values) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < frames; ++i)
    for (int v : values)
      Put16(bytes, v);
  return TWaveSamples(std::move(bytes));
}

// A 16-bit mono sine of `period` samples a cycle.
TWaveSamples Sine16(size_t frames, int period, double amplitude) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < frames; ++i)
    Put16(bytes, static_cast<int>(
                     std::lround(amplitude * 32767 * std::sin(2 * std::numbers::pi * i / period))));
  return TWaveSamples(std::move(bytes));
}

std::vector<float> MixBlock(TStreamMixer& mixer) {
  std::vector<float> out(kBlock * 2, 0.0f);
  mixer.Mix(out.data(), kBlock);
  return out;
}

float Peak(const std::vector<float>& v, size_t from = 0) {
  float peak = 0;
  for (size_t i = from; i < v.size(); ++i)
    peak = std::max(peak, std::abs(v[i]));
  return peak;
}

TEST(StreamMixerTest, ALongTuneLoopsWithoutGapOrClickAtItsOwnPitch) {
  // 61.7 s at 22050 Hz, 16-bit mono, as the music is stored; 441 Hz, a whole number of
  // cycles, so the looped tune is one unbroken sine of 100 device frames a cycle.
  constexpr size_t kFrames = 50 * 27200;
  TStreamMixer mixer(kRate, 2);
  const TSoundBuffer tune = mixer.CreateBuffer(Format(22050, 1, 16), Sine16(kFrames, 50, 0.5));
  mixer.Play(tune, true);

  const size_t loopAt = kFrames * 2;                // in device frames
  const size_t blocks = (loopAt + kRate) / kBlock;  // a second past the join
  std::vector<float> previous = MixBlock(mixer), block;
  float worstStep = 0, lowestPeak = 1, highestPeak = 0;
  size_t queuedMost = 0;
  for (size_t b = 1; b < blocks; ++b) {
    block = MixBlock(mixer);
    // Each frame against the one a cycle before it: a gap, a click or a change of pitch
    // anywhere, the join included, breaks the match.
    for (size_t f = 0; f < kBlock; ++f) {
      for (size_t c = 0; c < 2; ++c) {
        const float now = block[f * 2 + c];
        const float before =
            f >= 100 ? block[(f - 100) * 2 + c] : previous[(kBlock + f - 100) * 2 + c];
        worstStep = std::max(worstStep, std::abs(now - before));
      }
    }
    lowestPeak = std::min(lowestPeak, Peak(block));
    highestPeak = std::max(highestPeak, Peak(block));
    queuedMost = std::max(queuedMost, mixer.QueuedBytes());
    previous.swap(block);
  }
  EXPECT_LT(worstStep, 2e-3f);
  EXPECT_GT(lowestPeak, 0.49f);
  EXPECT_LT(highestPeak, 0.51f);
  EXPECT_TRUE(mixer.IsPlaying(tune));
  // Converted a little at a time: never more than a few blocks waiting.
  EXPECT_LT(queuedMost, size_t{64} << 10);
}

TEST(StreamMixerTest, ASoundPlayedOnceLastsItsLengthThenGivesWayAndPlaysAgainFromItsStart) {
  TStreamMixer mixer(kRate, 2);
  // 0.1 s at 22050 Hz: 4410 device frames, a little over four blocks.
  const TSoundBuffer shot = mixer.CreateBuffer(Format(22050, 1, 16), Constant16(2205, {16384}));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    mixer.Play(shot, false);
    size_t sounding = 0;
    for (int b = 0; b < 6; ++b) {
      const std::vector<float> block = MixBlock(mixer);
      for (size_t f = 0; f < kBlock; ++f)
        sounding += std::abs(block[f * 2]) > 0.25f ? 1 : 0;
      if (b == 0) {
        EXPECT_NEAR(block[kBlock], 0.5f, 0.01f);  // heard in the first block
      }
      if (b == 3) {
        EXPECT_TRUE(mixer.IsPlaying(shot));
      }
    }
    EXPECT_NEAR(static_cast<double>(sounding), 4410.0, 40.0);
    EXPECT_FALSE(mixer.IsPlaying(shot));
    EXPECT_EQ(mixer.QueuedBytes(), 0u);
  }
}

TEST(StreamMixerTest, VolumeStepsAndChangesOfTuneTakeEffectInTheVeryNextBlock) {
  EXPECT_EQ(MixGain(0), 1.0f);
  EXPECT_EQ(MixGain(100), 1.0f);
  EXPECT_EQ(MixGain(-500), 72.0f / 128);
  EXPECT_EQ(MixGain(-2500), 7.0f / 128);
  EXPECT_EQ(MixGain(-10000), 0.0f);
  EXPECT_EQ(MixGain(-20000), 0.0f);

  TStreamMixer mixer(kRate, 2);
  const TWaveFormat format = Format(22050, 1, 16);
  const TSoundBuffer first = mixer.CreateBuffer(format, Constant16(22050, {16384}));
  const TSoundBuffer boss = mixer.CreateBuffer(format, Constant16(22050, {-8192}));
  mixer.Play(first, true);
  MixBlock(mixer);
  EXPECT_NEAR(MixBlock(mixer)[500], 0.5f, 1e-3f);
  for (int volume : {-500, -1000, -1500, -2000, -2500}) {
    mixer.SetVolume(first, volume);
    const std::vector<float> block = MixBlock(mixer);
    EXPECT_NEAR(block[0], 0.5f * MixGain(volume), 1e-3f) << volume;
    EXPECT_NEAR(block[2 * kBlock - 1], 0.5f * MixGain(volume), 1e-3f) << volume;
  }
  // STOP, then the boss tune: the first is gone from the next block, the second in it.
  mixer.Stop(first);
  mixer.SetVolume(boss, 0);
  mixer.Play(boss, true);
  const std::vector<float> block = MixBlock(mixer);
  EXPECT_FALSE(mixer.IsPlaying(first));
  EXPECT_NEAR(block[200], -0.25f, 1e-3f);
  EXPECT_NEAR(block[2 * kBlock - 1], -0.25f, 1e-3f);
}

TEST(StreamMixerTest, EveryStoredFormatComesOutAsFloatStereoAtTheDeviceRate) {
  TStreamMixer mixer(kRate, 2);
  // 8-bit is unsigned around 128; stereo keeps its sides apart; 11025 Hz lasts as long.
  const TSoundBuffer eight =
      mixer.CreateBuffer(Format(11025, 1, 8), TWaveSamples(std::vector<uint8_t>(11025, 0xC0)));
  const TSoundBuffer stereo =
      mixer.CreateBuffer(Format(22050, 2, 16), Constant16(22050, {8192, -8192}));
  mixer.Play(eight, false);
  MixBlock(mixer);
  EXPECT_NEAR(MixBlock(mixer)[600], 0.5f, 0.01f);
  mixer.Stop(eight);
  mixer.Play(stereo, false);
  const std::vector<float> block = MixBlock(mixer);
  EXPECT_NEAR(block[600], 0.25f, 1e-3f);
  EXPECT_NEAR(block[601], -0.25f, 1e-3f);

  EXPECT_THROW(mixer.CreateBuffer(Format(22050, 1, 24), Constant16(10, {0})), std::runtime_error);
  EXPECT_THROW(mixer.CreateBuffer(Format(500, 1, 16), Constant16(10, {0})), std::runtime_error);
}

TEST(StreamMixerTest, CopiesPlayOnTheirOwnAndNothingOutlastsItsRelease) {
  TStreamMixer mixer(kRate, 2);
  const TSoundBuffer main = mixer.CreateBuffer(Format(22050, 1, 16), Constant16(22050, {16384}));
  mixer.SetVolume(main, -10000);
  const TSoundBuffer copy = mixer.Duplicate(main);
  mixer.SetVolume(copy, 0);
  mixer.Play(main, true);
  mixer.Play(copy, true);
  MixBlock(mixer);
  EXPECT_NEAR(MixBlock(mixer)[300], 0.5f, 1e-3f);
  mixer.Release(copy);
  EXPECT_EQ(Peak(MixBlock(mixer)), 0.0f);
  EXPECT_EQ(mixer.Duplicate(copy), 0);
  mixer.Play(copy, true);  // a released handle is nothing
  EXPECT_EQ(mixer.PlayingCount(), 1);

  // Nothing to play does not play, looped or not, and does not hold the mix up.
  const TSoundBuffer empty = mixer.CreateBuffer(Format(22050, 1, 16), TWaveSamples());
  const TSoundBuffer torn =
      mixer.CreateBuffer(Format(22050, 2, 16), TWaveSamples(std::vector<uint8_t>(3, 0x40)));
  mixer.Play(empty, true);
  mixer.Play(torn, true);
  MixBlock(mixer);
  EXPECT_FALSE(mixer.IsPlaying(empty));
  EXPECT_FALSE(mixer.IsPlaying(torn));
}

TEST(StreamMixerTest, AFullMixerDropsNewSoundsButStillRestartsOneAlreadyPlaying) {
  TStreamMixer mixer(kRate, 2);
  const TSoundBuffer main =
      mixer.CreateBuffer(Format(22050, 1, 8), TWaveSamples(std::vector<uint8_t>(22050, 0x90)));
  std::vector<TSoundBuffer> copies;
  for (int i = 0; i <= TStreamMixer::kMaxPlaying; ++i) {
    copies.push_back(mixer.Duplicate(main));
    mixer.Play(copies.back(), false);
  }
  EXPECT_EQ(mixer.PlayingCount(), TStreamMixer::kMaxPlaying);
  EXPECT_FALSE(mixer.IsPlaying(copies.back()));
  mixer.Play(copies.front(), false);
  EXPECT_TRUE(mixer.IsPlaying(copies.front()));
  EXPECT_EQ(mixer.PlayingCount(), TStreamMixer::kMaxPlaying);
}

}  // namespace
}  // namespace velmora

#endif
