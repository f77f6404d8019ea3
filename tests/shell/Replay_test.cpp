#include "shell/Replay.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "shell/Settings.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

TReplayTick Tick(uint8_t raw0, uint8_t keys = 0, bool abandon = false) {
  TReplayTick t;
  t.Raw.Bytes[0] = raw0;
  t.Keys = keys;
  t.Abandon = abandon;
  return t;
}

TReplay Sample(int32_t score = 4200, TReplayOutcome outcome = TReplayOutcome::Clear) {
  TReplay r;
  r.GameVersion = "2.0";
  r.Mission = 55555555;
  r.SinglePlay = true;
  r.MissionFile = "/home/p/ミッション/sample.omf";
  r.MissionFileHash = 0x0123456789ABCDEFull;
  r.PlayStarted = true;
  r.ListHash = 0xFEDCBA9876543210ull;
  r.Difficulty = 3;
  r.DirectInput = false;
  r.God = true;
  r.BriefingSeed = 7;
  r.Seed = 0xDEADBEEF;
  r.ReinforcementTimer = 55;
  r.ReinforcementStep = -3;
  r.StartActive.Include(isLeft);
  r.StartLastRaw.Include(isButton1);
  r.StartLastRaw.Include(isButton32);
  for (int i = 0; i < 300; ++i)
    r.Append(Tick(i < 100 ? 0x10 : 0x05, i >= 200 ? kKeySpace | kKeyLeft : 0));
  r.Append(Tick(0, 0, true));
  r.Result = {score, 250, r.TickCount(), outcome};
  return r;
}

void ExpectSame(const TReplay& a, const TReplay& b) {
  EXPECT_EQ(EncodeReplay(a), EncodeReplay(b));
  EXPECT_EQ(a.MissionFile, b.MissionFile);
  EXPECT_EQ(a.Seed, b.Seed);
  EXPECT_EQ(a.StartLastRaw, b.StartLastRaw);
  EXPECT_EQ(a.Result, b.Result);
  ASSERT_EQ(a.Runs.size(), b.Runs.size());
  for (size_t i = 0; i < a.Runs.size(); ++i) {
    EXPECT_EQ(a.Runs[i].Count, b.Runs[i].Count);
    EXPECT_EQ(a.Runs[i].Tick, b.Runs[i].Tick);
  }
}

std::string ErrorOf(std::string_view bytes) {
  try {
    DecodeReplay(bytes);
  } catch (const TReplayError& e) {
    return e.what();
  }
  return "";
}

// The checksum made right again, as a forger (or the fuzzer) would.
std::string Resealed(std::string bytes) {
  bytes.resize(bytes.size() - 4);
  const uint32_t sum = ReplayChecksum(bytes);
  for (int i = 0; i < 4; ++i)
    bytes.push_back(static_cast<char>(sum >> (8 * i)));
  return bytes;
}

TEST(ReplayFormat, RoundTripKeepsEveryFieldAndRunsCompressTheTicks) {
  const TReplay r = Sample();
  // 100 firing, 100 flying right, 100 with Space and Left held, one abandoning tick.
  ASSERT_EQ(r.Runs.size(), 4u);
  EXPECT_EQ(r.Runs[0].Count, 100u);
  EXPECT_EQ(r.TickCount(), 301u);
  ExpectSame(DecodeReplay(EncodeReplay(r)), r);

  // An hour of the same input costs a few bytes, not one record a tick.
  TReplay still;
  for (int i = 0; i < 225'000; ++i)
    still.Append(Tick(0x01));
  still.Result.Ticks = still.TickCount();
  EXPECT_EQ(still.Runs.size(), 1u);
  EXPECT_LT(EncodeReplay(still).size(), 100u);
  ExpectSame(DecodeReplay(EncodeReplay(still)), still);
}

TEST(ReplayFormat, BadFilesAreRefusedWithAReason) {
  const std::string good = EncodeReplay(Sample());
  const std::string damaged = "リプレイファイルが壊れているか、途中で切れています。";
  EXPECT_EQ(ErrorOf("not a replay at all"), "リプレイファイルではありません。");
  EXPECT_EQ(ErrorOf(""), "リプレイファイルではありません。");
  // Every truncation, and every single flipped bit past the magic, is damage.
  for (size_t n = 6; n < good.size(); ++n)
    ASSERT_EQ(ErrorOf(good.substr(0, n)), damaged) << n;
  for (size_t i = 6; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] ^= 0x20;
    ASSERT_EQ(ErrorOf(bad), damaged) << i;
  }
  // A consistent checksum over nonsense is still nonsense: a run of zero ticks, and
  // runs that add up to more ticks than the file says.
  std::string zeroRun = good;
  const size_t firstRun = good.size() - 4 - 4 * 8;  // four runs of 8 bytes each
  ASSERT_EQ(static_cast<uint8_t>(zeroRun[firstRun]), 100);
  zeroRun[firstRun] = 0;
  EXPECT_EQ(ErrorOf(Resealed(zeroRun)), damaged);
  zeroRun[firstRun] = 101;
  EXPECT_EQ(ErrorOf(Resealed(zeroRun)), damaged);

  std::string newer = good;
  newer[4] = 2;
  try {
    DecodeReplay(newer);
    ADD_FAILURE() << "a newer version was read";
  } catch (const TReplayError& e) {
    EXPECT_TRUE(e.Newer);
    EXPECT_NE(std::string(e.what()).find("新しいバージョン"), std::string::npos);
  }
  EXPECT_EQ(ErrorOf(std::string(kReplayMaxBytes + 1, 'V')),
            "リプレイファイルが大きすぎます（16MBまで）。");
}

TEST(ReplayStore, KeepsTheNewestTenRunsAndTheBestOfEachMission) {
  TTempDir dir;
  const std::string folder = dir.Path + "/replays";
  const int32_t scores[] = {500, 900, 300, 1200, 100, 0, 0, 0, 0, 0, 0, 50};
  for (int i = 0; i < 12; ++i) {
    TReplay run = Sample(scores[i], i == 3 ? TReplayOutcome::Failure : TReplayOutcome::Clear);
    run.God = false;
    StoreReplay(folder, run);
  }
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 11u);
  EXPECT_EQ(names.front().substr(0, 8), "best-omf");
  EXPECT_EQ(names[1], "run-000003.vmr");
  EXPECT_EQ(names.back(), "run-000012.vmr");
  // The failed 1200 does not beat the cleared 900.
  const std::string best = folder + "/" + names.front();
  EXPECT_EQ(ReadReplayFile(best).Result.Score, 900);

  // A best written by a newer game stays as it is.
  std::string newer = ReadFile(best);
  newer[4] = 9;
  WriteFile(best, newer);
  StoreReplay(folder, Sample(99999));
  EXPECT_EQ(ReadFile(best), newer);
  EXPECT_THROW(ReadReplayFile(folder + "/missing.vmr"), TReplayError);

  // A run in the invulnerable mode is kept among the newest, never as a best.
  TTempDir other;
  StoreReplay(other.Path, Sample(100));
  for (const auto& e : std::filesystem::directory_iterator(other.Path))
    EXPECT_EQ(e.path().filename().string().substr(0, 4), "run-");
}

TEST(ReplayFormat, OnlyARegularFileOfAReplaysSizeIsRead) {
  TTempDir dir;
  const std::string fifo = dir.Path + "/fifo.vmr";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path :
       {fifo, std::string("/dev/zero"), std::string("/"), std::string("/proc/self/mem")})
    EXPECT_THROW(ReadReplayFile(path), TReplayError) << path;
}

// ---- recording and watching in the game ------------------------------------------------

class ReplayDeckTest : public ShellTest {
 protected:
  void SetUp() override {
    Start();
    Button();
    ASSERT_EQ(Form->SceneState, ssMenu);
    Form->Replays.OnRecorded = [this](const TReplay& r) { Takes.push_back(r); };
  }
  // Mission 2 flown with a little steering and fire, then abandoned from the pause.
  void FlyAndAbandon() {
    Form->Mission = 2;
    Form->SinglePlay = true;
    Form->SetScene(ssBriefing);
    Tick(5);
    Button();
    Tick(120);
    ASSERT_EQ(Form->SceneState, ssPlay);
    Press('Z', true);
    Press(vk::Left, true);
    Tick(60);
    Press(vk::Left, false);
    Tick(60);
    Press('P', true);
    Press('P', false);
    Tick(3);
    Press(vk::Escape, true);
    Press(vk::Escape, false);
    Tick(2);
    Press('Z', false);
  }
  std::vector<TReplay> Takes;
};

TEST_F(ReplayDeckTest, AMissionWatchedAgainEndsAsRecordedAndLeavesTheGameAlone) {
  FlyAndAbandon();
  ASSERT_EQ(Takes.size(), 1u);
  const TReplay take = Takes[0];
  EXPECT_EQ(take.Result.Outcome, TReplayOutcome::Abandon);
  EXPECT_TRUE(take.PlayStarted);
  EXPECT_GT(take.Runs.size(), 4u);

  Form->Mission = 4;
  Form->Difficulty = 1;
  Form->SinglesUnlocked = 3;
  Form->Replays.Watch(take);
  EXPECT_EQ(Form->SceneState, ssBriefing);
  EXPECT_FALSE(Form->GameMenu->Enabled);
  // The keyboard has no say while watching.
  Machine.Input.Keys['Z'] = true;
  Machine.Input.Keys[vk::Right] = true;
  for (int i = 0; i < 2000 && Form->Replays.Watching(); ++i)
    Tick();
  Machine.Input.Keys['Z'] = Machine.Input.Keys[vk::Right] = false;
  ASSERT_TRUE(Form->Replays.LastPlayback());
  const auto& p = *Form->Replays.LastPlayback();
  EXPECT_TRUE(p.Same()) << DescribeResult(p.Recorded) << " / " << DescribeResult(p.Played);
  EXPECT_EQ(Form->SceneState, ssMenu);
  EXPECT_EQ(Form->Mission, 4);
  EXPECT_EQ(Form->Difficulty, 1);
  EXPECT_EQ(Form->SinglesUnlocked, 3);
  EXPECT_TRUE(Form->GameMenu->Enabled);
  Tick();
  EXPECT_EQ(Dialogs().back(),
            "リプレイの再生を終えました。戦果は" + std::to_string(take.Result.Score) + "でした。");
  // Watching recorded nothing of its own.
  EXPECT_EQ(Takes.size(), 1u);
}

TEST_F(ReplayDeckTest, EscapeEndsTheReplayAndAChangedListIsReported) {
  FlyAndAbandon();
  const TReplay take = Takes.at(0);
  Form->Replays.Watch(take);
  Tick(50);
  Press(vk::Escape, true);
  Tick();
  EXPECT_FALSE(Form->Replays.Watching());
  EXPECT_TRUE(Form->Replays.LastPlayback()->Stopped);
  EXPECT_EQ(Form->SceneState, ssMenu);

  TReplay changed = take;
  changed.ListHash ^= 1;
  Form->Replays.Watch(changed);
  for (int i = 0; i < 400 && Form->Replays.Watching(); ++i)
    Tick();
  ASSERT_TRUE(Form->Replays.LastPlayback());
  EXPECT_TRUE(Form->Replays.LastPlayback()->ListChanged);
  Tick();
  EXPECT_EQ(Dialogs().back(),
            "このリプレイを記録した後に作戦の内容が変わったため、正しく再生できません。");

  TReplay missing = take;
  missing.Mission = 55555555;
  missing.MissionFile = Dir.Path + "/none.omf";
  EXPECT_THROW(Form->Replays.Watch(missing), TReplayError);
  EXPECT_FALSE(Form->Replays.Watching());
}

}  // namespace
}  // namespace velmora
