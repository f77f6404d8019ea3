// The composed music: tunes of a sensible length at the level the game mixes them at,
// neither silent nor clipped, that loop without a click, and that make a music file the
// game can load.
#include "lib/MusicComposer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/WaveList.h"
#include "platform/headless/Headless.h"
#include "platform/headless/HeadlessSound.h"

namespace velmora {
namespace {

// Rendering takes a moment; every test shares one render of each tune.
const std::vector<int16_t>& Tune(const std::string& name) {
  static std::map<std::string, std::vector<int16_t>> cache;
  auto it = cache.find(name);
  if (it == cache.end()) it = cache.emplace(name, ComposeTune(name)).first;
  return it->second;
}

TEST(ComposedMusicTest, TunesAreLoopsAtTheMixLevelWithoutSilenceOrSeam) {
  for (const std::string& name : DefaultMusicNames()) {
    SCOPED_TRACE(name);
    const std::vector<int16_t>& s = Tune(name);
    const double seconds = static_cast<double>(s.size()) / kMusicRate;
    EXPECT_GE(seconds, 45.0);
    EXPECT_LE(seconds, 90.0);

    int peak = 0;
    for (int16_t v : s)
      peak = std::max(peak, std::abs(static_cast<int>(v)));
    // Every tune peaks at the same level, well under full scale, leaving the effects room.
    EXPECT_NEAR(peak, kMusicPeak * 32767, 200);
    EXPECT_LT(kMusicPeak, 0.5);

    // Every second carries sound: no dead stretch anywhere in the loop.
    for (size_t at = 0; at + kMusicRate <= s.size(); at += kMusicRate) {
      double sum = 0;
      for (size_t i = at; i < at + kMusicRate; ++i)
        sum += static_cast<double>(s[i]) * s[i];
      EXPECT_GT(std::sqrt(sum / kMusicRate), 700.0) << "quiet second at " << at / kMusicRate;
    }

    // Played looped, the last sample runs into the first: a loop point cut through a note
    // would jump here and click at every turn.
    EXPECT_LT(std::abs(s.back() - s.front()), 32768 / 10);
  }
}

TEST(ComposedMusicTest, RendersTheSameEveryTimeAndRefusesUnknownNames) {
  EXPECT_EQ(ComposeTune("BGM1"), Tune("BGM1"));
  EXPECT_THROW(ComposeTune("BGM9"), std::invalid_argument);
}

TEST(ComposedMusicTest, ExpandedSetHasSixDifferentTunesOfPlayableLength) {
  const auto& names = ExpandedMusicNames();
  ASSERT_EQ(names.size(), 6u);
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const double seconds = static_cast<double>(Tune(names[i]).size()) / kMusicRate;
    EXPECT_GE(seconds, 45.0);
    EXPECT_LE(seconds, 90.0);
    for (size_t j = 0; j < i; ++j)
      EXPECT_NE(Tune(names[i]), Tune(names[j])) << names[j];
  }
}

TEST(ComposedMusicTest, EntryHoldsSixteenBitLittleEndianSamples) {
  const TWaveListEntry e = MusicEntry("BGM1", {-32768, -129, 0, 127, 32767});
  EXPECT_EQ(e.Samples, (std::vector<uint8_t>{0x00, 0x80, 0x7F, 0xFF, 0, 0, 0x7F, 0, 0xFF, 0x7F}));
  EXPECT_TRUE(e.Looped);
  EXPECT_EQ(e.MaxPlayingCount, 0);
  EXPECT_EQ(e.Format.BitsPerSample, 16);
  EXPECT_EQ(e.Format.AvgBytesPerSec, 44100u);
  EXPECT_EQ(e.Format.BlockAlign, 2);
}

TEST(ComposedMusicTest, DefaultMusicFileLoadsWithLoopedTunesFoundIgnoringCase) {
  std::vector<TWaveListEntry> entries;
  for (const std::string& name : DefaultMusicNames())
    entries.push_back(MusicEntry(name, Tune(name)));
  const auto path = std::filesystem::temp_directory_path() / "velmora_music_test_DefMusic.dxw";
  {
    const std::vector<uint8_t> bytes = WriteWaveList(entries);
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
  }

  THeadlessSystem system;
  THeadlessSound sound(system);
  ASSERT_TRUE(sound.Initialize());
  TDXWaveList list(sound, system);
  LoadWaveList(path.string(), list);
  std::filesystem::remove(path);

  EXPECT_EQ(list.Count(), 3);
  for (const char* name : {"bgm1", "Bgm2", "boss"}) {
    SCOPED_TRACE(name);
    TWaveItem& item = list.Find(name);
    EXPECT_TRUE(item.Looped);
    EXPECT_EQ(item.MaxPlayingCount, 0);
    EXPECT_EQ(item.Format.SamplesPerSec, 22050u);
    EXPECT_EQ(item.Format.Channels, 1);
    EXPECT_EQ(item.Format.BitsPerSample, 16);
    EXPECT_TRUE(item.Initialized());
    // the tune swings around silence, not off to one side
    double mean = 0;
    for (size_t i = 0; i + 1 < item.Samples.size(); i += 2)
      mean += static_cast<int16_t>(item.Samples[i] | item.Samples[i + 1] << 8);
    mean /= static_cast<double>(item.Samples.size() / 2);
    EXPECT_NEAR(mean, 0.0, 500.0);
  }
  EXPECT_EQ(list.Find("BGM1").Samples.size(), 2 * Tune("BGM1").size());
}

}  // namespace
}  // namespace velmora
