#include "shell/Records.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "shell/Replay.h"
#include "shell/Settings.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

TRunRecord MakeRun(const std::string& mission, int32_t difficulty, int32_t score, bool cleared,
                   const std::string& date = "2026/12/08 10:00:00") {
  TRunRecord r;
  r.Mission = mission;
  r.Difficulty = difficulty;
  r.Score = score;
  r.Cleared = cleared;
  r.Damage = cleared ? 20 : 100;
  r.Date = date;
  return r;
}

std::vector<int32_t> Scores(const TRecordBook& book, const std::string& mission,
                            int32_t difficulty) {
  std::vector<int32_t> scores;
  for (const TRunRecord& r : book.Runs)
    if (r.Mission == mission && r.Difficulty == difficulty) scores.push_back(r.Score);
  return scores;
}

TReplay SomeReplay(int32_t mission, int32_t score) {
  TReplay replay;
  replay.GameVersion = "2.0";
  replay.Mission = mission;
  replay.PlayStarted = true;
  replay.Append(TReplayTick{});
  replay.Result = {score, 100, 1, TReplayOutcome::Clear};
  return replay;
}

TEST(RecordBook, RunsAreSortedPerMissionAndDifficultyAndTenAreKept) {
  TRecordBook book;
  EXPECT_TRUE(AddRun(book, MakeRun("1", 2, 5000, false)).PersonalBest);  // the first run leads
  EXPECT_TRUE(AddRun(book, MakeRun("1", 2, 3000, true)).PersonalBest);   // cleared beats shot down
  EXPECT_FALSE(AddRun(book, MakeRun("1", 2, 3000, true, "later")).PersonalBest);  // a tie does not
  EXPECT_TRUE(AddRun(book, MakeRun("1", 3, 10, false)).PersonalBest);  // another difficulty
  EXPECT_TRUE(AddRun(book, MakeRun("2", 2, 1, false)).PersonalBest);   // another mission
  EXPECT_EQ(Scores(book, "1", 2), (std::vector<int32_t>{3000, 3000, 5000}));
  for (const TRunRecord& r : book.Runs)
    if (r.Mission == "1" && r.Difficulty == 2 && r.Score == 3000) {
      EXPECT_EQ(r.Date, "2026/12/08 10:00:00");  // the earlier of equal runs stays ahead
      break;
    }

  // Ten to a table: a worse run than all ten is not kept, a better one pushes the last out
  // and gives back its replay to delete.
  TRecordBook full;
  for (int i = 1; i <= 10; ++i) {
    TRunRecord r = MakeRun("7", 1, i * 100, true);
    r.Replay = "record-00000" + std::to_string(i - 1) + ".vmr";
    AddRun(full, r);
  }
  const TAddedRun worse = AddRun(full, MakeRun("7", 1, 50, true));
  EXPECT_FALSE(worse.Kept);
  EXPECT_TRUE(worse.Dropped.empty());
  const TAddedRun better = AddRun(full, MakeRun("7", 1, 550, true));
  EXPECT_TRUE(better.Kept);
  EXPECT_FALSE(better.PersonalBest);
  EXPECT_EQ(better.Dropped, std::vector<std::string>{"record-000000.vmr"});
  EXPECT_EQ(Scores(full, "7", 1),
            (std::vector<int32_t>{1000, 900, 800, 700, 600, 550, 500, 400, 300, 200}));
  EXPECT_EQ(full.Runs[better.Index].Score, 550);
}

TEST(RecordBook, CampaignsKeepTheTenBestTotals) {
  TRecordBook book;
  for (int32_t total : {500, 900, 100, 700, 300, 800, 200, 600, 400, 1000, 50})
    AddCampaign(book, TCampaignRecord{total, "d", {}});
  ASSERT_EQ(book.Campaigns.size(), kRecordsKept);
  EXPECT_EQ(book.Campaigns.front().Total, 1000);
  EXPECT_EQ(book.Campaigns.back().Total, 100);
}

TEST(RecordsCodec, RoundTripsAndRefusesDamageOrEdits) {
  TRecordBook book;
  TRunRecord user = MakeRun("omf:0123456789abcdef", 1, -5, false);
  user.Name = "up.omf";
  user.Replay = "record-000001.vmr";
  AddRun(book, user);
  AddRun(book, MakeRun("9999", 2, 0, true));
  AddCampaign(book, TCampaignRecord{12345, "2026/12/08", {1, 2, 3, 4, 12335}});
  book.Progress = {{100, kUnknownScore}, false};
  book.NextReplay = 2;
  const std::string bytes = EncodeRecords(book);
  EXPECT_EQ(DecodeRecords(bytes), book);

  // Tabs and line breaks in a name or a date cannot break the file apart.
  TRecordBook odd;
  TRunRecord named = user;
  named.Name = "a\tb\nc.omf";
  AddRun(odd, named);
  EXPECT_EQ(DecodeRecords(EncodeRecords(odd)).Runs[0].Name, "a b c.omf");

  const auto damaged = [](const std::string& bytes, const std::string& what) {
    try {
      DecodeRecords(bytes);
      ADD_FAILURE() << "read: " << what;
    } catch (const TRecordsError& e) {
      EXPECT_FALSE(e.Newer) << what;
    }
  };
  for (size_t cut : {size_t{0}, size_t{10}, bytes.size() / 2, bytes.size() - 1})
    damaged(bytes.substr(0, cut), "cut at " + std::to_string(cut));
  std::string edited = bytes;
  edited.replace(edited.find("12345"), 5, "99999");
  damaged(edited, "an edited total");
  // Well-formed and correctly checked, yet naming a file outside the replays folder.
  const auto rechecked = [](std::string body) { return body + "check\t" + TextCheck(body) + "\n"; };
  damaged(rechecked("Velmora records\t1\nrun\t1\t\t2\t5\t1\t0\td\t../Torvi.INI\n"), "a path");
  damaged(rechecked("Velmora records\t1\nrun\t12\t\t2\t5\t1\t0\td\t\n"), "no such mission");
  damaged(rechecked("Velmora records\t1\nrun\t1\t\t4\t5\t1\t0\td\t\n"), "no such difficulty");
  damaged(rechecked("Velmora settings\t1\n"), "another file");

  try {
    DecodeRecords(rechecked("Velmora records\t2\nsomething\tnew\n"));
    ADD_FAILURE() << "a newer file was read";
  } catch (const TRecordsError& e) {
    EXPECT_TRUE(e.Newer);
  }
}

class RecordsFileTest : public ::testing::Test {
 protected:
  std::string Path() const { return Dir.Path + "/" + kRecordsFileName; }
  TTempDir Dir;
};

TEST_F(RecordsFileTest, RunsKeepTheirReplaysWhileTheyHoldAPlace) {
  TRecordsFile records(Dir.Path);
  EXPECT_EQ(records.Load(), "");  // no file yet: nothing to say
  const TReplay best = SomeReplay(1, 9000);
  EXPECT_TRUE(records.AddRun(MakeRun("1", 2, 9000, true), &best));
  for (int i = 1; i <= 10; ++i) {
    const TReplay replay = SomeReplay(1, i);
    EXPECT_FALSE(records.AddRun(MakeRun("1", 2, i, true), &replay));
  }
  // The best run's replay is still there and is the one written for it; the run pushed out
  // took its replay with it.
  TRecordsFile again(Dir.Path);
  EXPECT_EQ(again.Load(), "");
  ASSERT_EQ(again.Book().Runs.size(), kRecordsKept);
  const std::string bestFile = again.ReplayFolder() + "/" + again.Book().Runs[0].Replay;
  EXPECT_EQ(ReadReplayFile(bestFile).Result.Score, 9000);
  EXPECT_FALSE(fs::exists(again.ReplayFolder() + "/record-000002.vmr"));  // the score of 1
  EXPECT_EQ(std::distance(fs::directory_iterator(again.ReplayFolder()), {}), 10);
  EXPECT_EQ(NthReplay(again.View(), 1), bestFile);
  EXPECT_TRUE(again.WouldLead(MakeRun("1", 2, 9001, true)));
  EXPECT_FALSE(again.WouldLead(MakeRun("1", 2, 9000, true)));
}

TEST_F(RecordsFileTest, ADamagedFileIsSetAsideAndANewBookBegun) {
  TRecordsFile records(Dir.Path);
  records.Load();
  records.AddRun(MakeRun("3", 1, 700, false), nullptr);
  const std::string whole = ReadFile(Path());
  for (int round = 1; round <= 2; ++round) {
    WriteFile(Path(), whole.substr(0, whole.size() - 7));  // truncated
    TRecordsFile damaged(Dir.Path);
    const std::string message = damaged.Load();
    const std::string aside = Path() + (round == 1 ? ".damaged" : ".damaged.2");
    EXPECT_NE(message.find(aside), std::string::npos) << message;
    EXPECT_NE(message.find("新しい戦績を始めます"), std::string::npos) << message;
    // Nothing of it is lost: the damaged bytes are kept whole beside the new book.
    EXPECT_EQ(ReadFile(aside), whole.substr(0, whole.size() - 7));
    EXPECT_TRUE(damaged.Book().Runs.empty());
    EXPECT_FALSE(fs::exists(Path()));
    damaged.AddRun(MakeRun("3", 1, 10, false), nullptr);
    EXPECT_EQ(TRecordsFile(Dir.Path).Load(), "");
  }

  // A newer game's file is read by nobody here and written over by nobody either.
  const std::string body = "Velmora records\t9\nfuture\n";
  const std::string newer = body + "check\t" + TextCheck(body) + "\n";
  WriteFile(Path(), newer);
  TRecordsFile later(Dir.Path);
  EXPECT_NE(later.Load().find("新しい版"), std::string::npos);
  EXPECT_FALSE(later.AddRun(MakeRun("3", 1, 99999, true), nullptr));
  EXPECT_EQ(ReadFile(Path()), newer);
}

TEST_F(RecordsFileTest, AnInterruptedWriteLeavesTheOldFileWhole) {
  TRecordsFile records(Dir.Path);
  records.Load();
  records.AddRun(MakeRun("1", 2, 100, true), nullptr);
  const std::string before = ReadFile(Path());
  SetIniWriteStepForTesting([](int fd, const std::string& bytes) {
    ASSERT_GT(::write(fd, bytes.data(), bytes.size() / 2), 0);
    throw std::runtime_error("power cut");
  });
  const TReplay replay = SomeReplay(1, 200);
  EXPECT_THROW(records.AddRun(MakeRun("1", 2, 200, true), &replay), std::runtime_error);
  SetIniWriteStepForTesting({});
  EXPECT_EQ(ReadFile(Path()), before);
  EXPECT_EQ(records.Book().Runs.size(), 1u);  // memory and file agree
  EXPECT_FALSE(fs::exists(records.ReplayFolder() + "/record-000001.vmr"));

  // The real thing: a process killed at any moment of its writes leaves a whole file.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TRecordsFile writer(Dir.Path);
    writer.Load();
    for (int i = 0;; ++i)
      writer.AddRun(MakeRun(std::to_string(1 + i % 11), 1 + i % 3, i, i % 2), nullptr);
  }
  ::usleep(150'000);
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
  TRecordsFile after(Dir.Path);
  EXPECT_EQ(after.Load(), "");
  EXPECT_GT(after.Book().Runs.size(), 1u);
  // What the killed writer left half-made goes at the next start.
  RemoveStaleTempFiles(Dir.Path);
  for (const auto& entry : fs::directory_iterator(Dir.Path))
    EXPECT_TRUE(entry.path().filename() == kRecordsFileName || entry.is_directory())
        << entry.path();
}

TEST_F(RecordsFileTest, AFinishedCampaignKeepsItsMissionsScores) {
  TRecordsFile records(Dir.Path);
  records.Load();
  for (int32_t m = 1; m <= 4; ++m)
    records.CampaignMissionDone(m, m * 1000, true);
  records.CampaignFinished(5000, 15000, "today", true);
  ASSERT_EQ(records.Book().Campaigns.size(), 1u);
  EXPECT_EQ(records.Book().Campaigns[0].Scores,
            (std::array<int32_t, 5>{1000, 2000, 3000, 4000, 5000}));
  EXPECT_TRUE(records.Book().Progress.Scores.empty());

  // Begun before the records were kept: only the last mission's score is known.
  records.CampaignMissionDone(3, 300, true);
  records.CampaignMissionDone(4, 400, true);
  records.CampaignFinished(500, 9000, "later", true);
  ASSERT_EQ(records.Book().Campaigns.size(), 2u);
  EXPECT_EQ(
      records.Book().Campaigns[1].Scores,
      (std::array<int32_t, 5>{kUnknownScore, kUnknownScore, kUnknownScore, kUnknownScore, 500}));
  // One mission played invulnerable and the campaign is no record; a new campaign begun
  // forgets what was under way.
  records.CampaignMissionDone(1, 100, false);
  records.CampaignFinished(1, 999999, "god", true);
  records.CampaignMissionDone(1, 100, true);
  records.CampaignRestarted();
  EXPECT_TRUE(records.Book().Progress.Scores.empty());
  EXPECT_EQ(records.Book().Campaigns.size(), 2u);
  const std::string text = RecordsViewText(records.View());
  EXPECT_NE(text.find("1\t15000\ttoday\t1000\t2000\t3000\t4000\t5000\n"), std::string::npos)
      << text;
  EXPECT_NE(text.find("2\t9000\tlater\t－\t－\t－\t－\t500\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace velmora
