#include "engine/WaveList.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>

#include "lib/WaveListWriter.h"
#include "platform/headless/HeadlessSound.h"

namespace velmora {
namespace {

const std::string kStreamError = "不正なストリーム フォーマット";
const std::string kWaveError = "不正な Wave です";

class TClock : public ISystem {
 public:
  uint32_t Now = 1000;
  uint32_t TickCount() override { return Now; }
  void Sleep(uint32_t ms) override { Now += ms; }
  std::string DateTimeText() override { return ""; }
  std::string ComputerName() override { return ""; }
  std::string ProgramFolder() override { return "."; }
  std::string DataFolder() override { return "."; }
  void OpenUrl(const std::string&) override {}
  void ShowHelp(const std::string&) override {}
};

TWaveListEntry Entry(const std::string& name, size_t sampleBytes, bool looped = false,
                     int maxPlaying = 0) {
  TWaveListEntry e;
  e.Name = name;
  e.Looped = looped;
  e.MaxPlayingCount = maxPlaying;
  e.Samples.assign(sampleBytes, 0x80);
  return e;
}

// Splices bytes into a file right before the first occurrence of `marker`.
std::vector<uint8_t> InsertBefore(std::vector<uint8_t> file, const std::string& marker,
                                  const std::vector<uint8_t>& bytes) {
  auto at = std::search(file.begin(), file.end(), marker.begin(), marker.end());
  EXPECT_NE(at, file.end()) << marker;
  file.insert(at, bytes.begin(), bytes.end());
  return file;
}

std::string LoadError(const std::vector<uint8_t>& bytes, TDXWaveList& list) {
  try {
    LoadWaveListFromMemory(bytes, list);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "(loaded)";
}

class WaveListTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Sound.Initialize()); }
  TClock Clock;
  THeadlessSound Sound{Clock};
  TDXWaveList List{Sound, Clock};
};

TEST_F(WaveListTest, OverlappingEffectsGetCopiesThatAreReusedOnceFinished) {
  // 1828 bytes at 22050 bytes a second: 83 ms.
  LoadWaveListFromMemory(WriteWaveList({Entry("30cal", 1828)}), List);
  TWaveItem& shot = List.Find("30cal");
  for (int i = 0; i < 5; ++i)
    shot.Play(false);
  ASSERT_EQ(shot.CopyCount(), 5);
  ASSERT_EQ(Sound.PlayLog.size(), 5u);
  std::set<TSoundBuffer> played;
  for (const auto& p : Sound.PlayLog) {
    played.insert(p.Buffer);
    EXPECT_FALSE(p.Looped);
    EXPECT_EQ(p.SampleBytes, 1828u);
  }
  EXPECT_EQ(played.size(), 5u);

  Clock.Now += 83;
  shot.Play(false);
  EXPECT_EQ(shot.CopyCount(), 5);
  EXPECT_EQ(Sound.PlayLog.back().Buffer, shot.CopyAt(0));

  // Waiting polls in 10 ms steps until the copy has finished.
  const uint32_t before = Clock.Now;
  Clock.Now += 100;
  shot.Play(true);
  EXPECT_EQ(Clock.Now - before - 100, 90u);
  EXPECT_FALSE(Sound.IsPlaying(Sound.PlayLog.back().Buffer));
}

TEST_F(WaveListTest, PlayingLimitRestartsTheOldestCopy) {
  LoadWaveListFromMemory(WriteWaveList({Entry("gun", 22050, false, 2)}), List);
  TWaveItem& gun = List.Find("gun");
  gun.Play(false);
  gun.Play(false);
  const TSoundBuffer first = gun.CopyAt(0), second = gun.CopyAt(1);
  gun.Play(false);
  EXPECT_EQ(gun.CopyCount(), 2);
  EXPECT_EQ(Sound.PlayLog.back().Buffer, first);
  EXPECT_EQ(gun.CopyAt(0), second);
  EXPECT_EQ(gun.CopyAt(1), first);
  gun.Play(false);
  EXPECT_EQ(Sound.PlayLog.back().Buffer, second);
}

TEST_F(WaveListTest, LoopedItemsReplayTheirMainBufferAndFollowVolumeAndStop) {
  LoadWaveListFromMemory(WriteWaveList({Entry("BGM1", 100, true)}), List);
  TWaveItem& tune = List.Find("bgm1");
  tune.SetVolume(-1500);
  tune.Play(false);
  tune.Play(false);
  EXPECT_EQ(tune.CopyCount(), 0);
  ASSERT_EQ(Sound.PlayLog.size(), 2u);
  const TSoundBuffer main = Sound.PlayLog[0].Buffer;
  EXPECT_EQ(Sound.PlayLog[1].Buffer, main);
  EXPECT_TRUE(Sound.PlayLog[1].Looped);
  EXPECT_EQ(Sound.PlayLog[1].Volume, -1500);
  Clock.Now += 60000;
  EXPECT_TRUE(Sound.IsPlaying(main));
  tune.SetVolume(-500);
  EXPECT_EQ(Sound.VolumeOf(main), -500);
  tune.Stop();
  EXPECT_FALSE(Sound.IsPlaying(main));
}

TEST_F(WaveListTest, NothingPlaysWithoutTheDeviceAndBuffersFollowItsLifetime) {
  Sound.Finalize();
  LoadWaveListFromMemory(WriteWaveList({Entry("a", 10), Entry("b", 10)}), List);
  List.Find("a").Play(false);
  EXPECT_TRUE(Sound.PlayLog.empty());
  EXPECT_FALSE(List.Find("a").Initialized());

  ASSERT_TRUE(Sound.Initialize());
  List.Initialize();
  EXPECT_EQ(Sound.BufferCount(), 2);
  List.Find("a").Play(false);
  EXPECT_EQ(Sound.BufferCount(), 3);
  List.Finalize();
  EXPECT_EQ(Sound.BufferCount(), 0);
  EXPECT_EQ(List.Find("a").CopyCount(), 0);
}

TEST_F(WaveListTest, LookupIgnoresCaseAndReportsMissingNames) {
  LoadWaveListFromMemory(WriteWaveList({Entry("kan!!", 10), Entry("Explosion", 20)}), List);
  EXPECT_EQ(&List.Find("Kan!!"), &List.Find("kan!!"));
  EXPECT_EQ(List.Find("EXPLOSION").Samples.size(), 20u);
  try {
    List.Find("BGM9");
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Wave 'BGM9' が見つかりません");
  }
}

TEST_F(WaveListTest, LoadingReplacesTheListEvenWithAnEmptyCollection) {
  TWaveListEntry longName = Entry(std::string(300, 'x'), 4, true, 40000);
  LoadWaveListFromMemory(WriteWaveList({Entry("BGM1", 10), longName}), List);
  ASSERT_EQ(List.Count(), 2);
  EXPECT_EQ(List.Items(1).Name.size(), 300u);
  EXPECT_TRUE(List.Items(1).Looped);
  EXPECT_EQ(List.Items(1).MaxPlayingCount, 40000);

  LoadWaveListFromMemory(WriteWaveList({Entry("BOSS", 10, false, -3)}), List);
  ASSERT_EQ(List.Count(), 1);
  EXPECT_EQ(List.Items(0).MaxPlayingCount, 0);
  EXPECT_THROW(List.Find("BGM1"), std::runtime_error);
  EXPECT_EQ(Sound.BufferCount(), 1);

  LoadWaveListFromMemory(WriteWaveList({}), List);
  EXPECT_EQ(List.Count(), 0);
  EXPECT_THROW(List.Find("BOSS"), std::runtime_error);
}

TEST_F(WaveListTest, RiffChunksAreWalkedByTheirSizes) {
  TWaveFormat format;
  format.Channels = 2;
  format.SamplesPerSec = 44100;
  format.AvgBytesPerSec = 176400;
  format.BlockAlign = 4;
  format.BitsPerSample = 16;
  format.Extra = {1, 2};
  const std::vector<uint8_t> samples = {1, 2, 3, 4, 5, 6, 7, 8};
  std::vector<uint8_t> riff = MakeRiffWave(format, samples);
  const std::vector<uint8_t> extra = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c'};
  const std::string dataId = "data";
  auto data = std::search(riff.begin(), riff.end(), dataId.begin(), dataId.end());
  riff.insert(data, extra.begin(), extra.end());
  // Trailing zeros end the chunk walk.
  riff.insert(riff.end(), 8, 0);

  TWaveListEntry e = Entry("w", 0);
  e.RawRiff = riff;
  LoadWaveListFromMemory(WriteWaveList({e}), List);
  const TWaveItem& item = List.Find("w");
  EXPECT_EQ(item.Samples, samples);
  EXPECT_EQ(item.Format.Channels, 2);
  EXPECT_EQ(item.Format.SamplesPerSec, 44100u);
  EXPECT_EQ(item.Format.BitsPerSample, 16);
  EXPECT_EQ(item.Format.Extra, format.Extra);
}

TEST_F(WaveListTest, UnknownValuesPrefixesAndOrderNumbersAreSkipped) {
  std::vector<uint8_t> file = WriteWaveList({Entry("A", 3), Entry("B", 5)});
  // Every value type once, as an unknown property of the first item.
  const std::vector<uint8_t> junk = {
      5,  'E', 'x', 't', 'r', 'a', 1,               // a list holding:
      2,  1,   3,   1,   0,   4,   1, 0, 0,  0,     // integers
      5,  0,   0,   0,   0,   0,   0, 0, 0,  0, 0,  // extended float
      6,  1,   'x', 7,   1,   'y', 8, 9, 13,        // string, identifier, booleans, nil
      10, 2,   0,   0,   0,   1,   2,               // binary
      11, 1,   'a', 0,                              // set
      12, 1,   0,   0,   0,   'z',                  // long string
      18, 1,   0,   0,   0,   'w', 0,               // wide string
      19, 0,   0,   0,   0,   0,   0, 0, 0,         // 64-bit integer
      14, 2,   1,   1,   1,   'P', 9, 0, 0,         // collection of one item
      0};
  file = InsertBefore(file, "\x04Name", junk);
  // An order number before the second item.
  const std::string secondItem = std::string("\x01\x04Name\x06\x01") + "B";
  auto at = std::search(file.begin(), file.end(), secondItem.begin(), secondItem.end());
  ASSERT_NE(at, file.end());
  file.insert(at, {2, 7});
  // A prefix byte carrying an integer before the class name.
  file = InsertBefore(file, "\x18TWaveCollectionComponent", {0xF2, 3, 0x34, 0x12});

  LoadWaveListFromMemory(file, List);
  ASSERT_EQ(List.Count(), 2);
  EXPECT_EQ(List.Find("a").Samples.size(), 3u);
  EXPECT_EQ(List.Find("b").Samples.size(), 5u);
}

TEST_F(WaveListTest, DamagedFilesFailWithTheirMessages) {
  const std::vector<uint8_t> good = WriteWaveList({Entry("A", 3)});
  auto damaged = [&](size_t offset, uint8_t value) {
    std::vector<uint8_t> f = good;
    f[offset] = value;
    return LoadError(f, List);
  };
  EXPECT_EQ(damaged(0, 0xFE), kStreamError);
  EXPECT_EQ(damaged(1, 11), kStreamError);
  const size_t stream = 3 + 24 + 1 + 6;
  EXPECT_EQ(damaged(stream, 'X'), kStreamError);

  const std::string riffId = "RIFF";
  const size_t riff =
      std::search(good.begin(), good.end(), riffId.begin(), riffId.end()) - good.begin();
  EXPECT_EQ(damaged(riff, 'X'), kWaveError);
  EXPECT_EQ(damaged(riff + 8, 'X'), kWaveError);
  EXPECT_EQ(damaged(riff + 16, 200), kWaveError);  // "fmt " chunk running past the end
  EXPECT_EQ(damaged(riff + 16, 10), kWaveError);   // "fmt " chunk too short

  // Lists nested beyond reason are refused rather than followed down the stack.
  std::vector<uint8_t> deep(100000, 1);
  deep.insert(deep.begin(), {5, 'D', 'e', 'e', 'p', 'X'});
  EXPECT_EQ(LoadError(InsertBefore(good, "\x04Name", deep), List), kStreamError);

  EXPECT_THROW(LoadWaveList("/nonexistent/DefMusic.dxw", List), std::runtime_error);
}

TEST_F(WaveListTest, EveryTruncationFailsCleanly) {
  const std::vector<uint8_t> good = WriteWaveList({Entry("A", 3), Entry("B", 2, true, 1)});
  for (size_t n = 0; n < good.size(); ++n) {
    const std::vector<uint8_t> cut(good.begin(), good.begin() + n);
    const std::string error = LoadError(cut, List);
    EXPECT_TRUE(error == kStreamError || error == kWaveError) << n << ": " << error;
    EXPECT_LE(List.Count(), 2);
  }
  EXPECT_EQ(LoadError(good, List), "(loaded)");
}

// A wave the sound layer could not play is refused at load, device or not, and so is one
// without a format: nothing about a wave is guessed.
TEST(WaveListLoad, WavesWithoutOrWithAnUnplayableFormatAreRefusedWithoutADevice) {
  TClock clock;
  THeadlessSound sound{clock};  // never initialised
  TDXWaveList list{sound, clock};
  const auto load = [&list](const std::vector<uint8_t>& riff) {
    TWaveListEntry e = Entry("w", 0);
    e.RawRiff = riff;
    return LoadError(WriteWaveList({e}), list);
  };
  const std::vector<uint8_t> noFormat = {'R', 'I', 'F', 'F', 16, 0, 0, 0, 'W', 'A', 'V', 'E',
                                         'd', 'a', 't', 'a', 4,  0, 0, 0, 1,   2,   3,   4};
  EXPECT_EQ(load(noFormat), kWaveError);
  const auto odd = [&](auto change) {
    TWaveFormat format;
    change(format);
    return load(MakeRiffWave(format, {1, 2, 3, 4}));
  };
  EXPECT_EQ(odd([](TWaveFormat&) {}), "(loaded)");
  EXPECT_EQ(odd([](TWaveFormat& f) { f.Channels = 0; }), kWaveError);
  EXPECT_EQ(odd([](TWaveFormat& f) { f.Channels = 3; }), kWaveError);
  EXPECT_EQ(odd([](TWaveFormat& f) { f.BitsPerSample = 12; }), kWaveError);
  EXPECT_EQ(odd([](TWaveFormat& f) { f.FormatTag = 3; }), kWaveError);  // floating point
  EXPECT_EQ(odd([](TWaveFormat& f) { f.SamplesPerSec = 0; }), kWaveError);
  EXPECT_EQ(odd([](TWaveFormat& f) { f.SamplesPerSec = 1000000; }), kWaveError);
}

// Whatever a player leaves in the music file's place is named at once: no hang on a FIFO,
// no library message for a folder.
TEST(WaveListLoad, AFolderFifoOrDeviceInPlaceOfTheFileIsNamed) {
  TClock clock;
  THeadlessSound sound{clock};
  TDXWaveList list{sound, clock};
  char name[] = "/tmp/velmora-wave-XXXXXX";
  const std::string dir = ::mkdtemp(name);
  const std::string folder = dir + "/DefMusic.dxw", fifo = dir + "/ExpMusic.dxw";
  ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  for (const std::string& path : {folder, fifo, std::string("/dev/zero")}) {
    try {
      LoadWaveList(path, list);
      ADD_FAILURE() << path << " loaded";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "ファイル '" + path + "' は通常のファイルではありません");
    }
  }
  ::rmdir(folder.c_str());
  ::unlink(fifo.c_str());
  ::rmdir(dir.c_str());
}

TEST_F(WaveListTest, BuiltInEffectsAreTheFiveRecordings) {
  LoadBuiltInEffects(List);
  ASSERT_EQ(List.Count(), 5);
  const std::pair<const char*, size_t> sizes[] = {
      {"Explosion", 52352}, {"kan!!", 576}, {"30cal", 1828}, {"50cal", 4612}, {"GetItem", 18412}};
  for (const auto& [name, bytes] : sizes) {
    const TWaveItem& item = List.Find(name);
    EXPECT_EQ(item.Samples.size(), bytes) << name;
    EXPECT_EQ(item.Format.SamplesPerSec, 22050u) << name;
    EXPECT_FALSE(item.Looped);
    EXPECT_EQ(item.MaxPlayingCount, 0);
    EXPECT_TRUE(item.Initialized());
  }
  // Levels chosen for the mix: none takes the whole range, the blast leads, the guns that
  // fire all the time sit under it.
  auto peak = [&](const char* name) {
    int p = 0;
    for (uint8_t v : List.Find(name).Samples)
      p = std::max(p, std::abs(v - 128));
    return 20.0 * std::log10(p / 128.0);
  };
  for (const auto& [name, bytes] : sizes) {
    EXPECT_LT(peak(name), -5.0) << name;
    EXPECT_GT(peak(name), -12.0) << name;
  }
  EXPECT_GT(peak("Explosion"), peak("30cal"));
  EXPECT_GT(peak("Explosion"), peak("50cal"));
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// A music file's tunes stay in the file until first wanted: what is read then is what was
// checked at load, and never the bytes of some other file written over it meanwhile.
TEST_F(WaveListTest, TunesAreReadFromTheirFileWhenFirstWantedAndOnlyAsChecked) {
  char name[] = "/tmp/velmora-wavelist-XXXXXX";
  const int fd = ::mkstemp(name);
  ASSERT_GE(fd, 0);
  ::close(fd);
  const auto write = [&](const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(name, "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty()) {
      ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
  };
  TWaveListEntry eight = Entry("eight", 300);
  for (size_t i = 0; i < eight.Samples.size(); ++i)
    eight.Samples[i] = static_cast<uint8_t>(i * 7);
  TWaveListEntry sixteen = Entry("sixteen", 400);
  sixteen.Format.BitsPerSample = 16;
  sixteen.Format.BlockAlign = 2;
  for (size_t i = 0; i < sixteen.Samples.size(); ++i)
    sixteen.Samples[i] = static_cast<uint8_t>(255 - i);
  const std::vector<uint8_t> file = WriteWaveList({eight, sixteen});

  // Read from the disk as from memory: the same items, and every cut-off file refused
  // with the same message.
  for (size_t n = 0; n <= file.size(); n += n < 120 ? 1 : 97) {
    const std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
    write(cut);
    std::string fromDisk = "(loaded)";
    try {
      LoadWaveList(name, List);
    } catch (const std::runtime_error& e) {
      fromDisk = e.what();
    }
    const int count = List.Count();
    EXPECT_EQ(fromDisk, LoadError(cut, List)) << n;
    EXPECT_EQ(count, List.Count()) << n;
  }

  // Read as loaded, even once the file is gone.
  write(file);
  LoadWaveList(name, List);
  ::unlink(name);
  EXPECT_EQ(List.Find("eight").Samples, eight.Samples);
  EXPECT_EQ(List.Find("sixteen").Samples, sixteen.Samples);
  EXPECT_TRUE(List.Find("sixteen").Initialized());

  // Written over with another file before the tunes were played: silence of their length,
  // 8-bit silence being the middle of the range.
  write(file);
  LoadWaveList(name, List);
  std::vector<uint8_t> other(file);
  std::reverse(other.begin() + 200, other.end());
  other.resize(other.size() - 100);
  write(other);
  EXPECT_EQ(List.Find("eight").Samples, std::vector<uint8_t>(300, 0x80));
  EXPECT_EQ(List.Find("sixteen").Samples, std::vector<uint8_t>(400, 0x00));
  ::unlink(name);
}

}  // namespace
}  // namespace velmora
