#include <gtest/gtest.h>

#include "missions/Appearance.h"
#include "shell/Settings.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

using TTexts = std::vector<std::string>;
const char* const kNext = "次の面に進みますか？（「いいえ」を押すとリトライ出来ます。）";

class StageFlowTest : public ShellTest {
 protected:
  // Starts at the menu screen with the campaign an earlier session left.
  void StartAtMenu(int32_t mission = 1, int32_t total = 0, int32_t singles = 0) {
    TIniFile ini(Ini());
    const std::string campaign = CampaignText(total, mission, Machine.System);
    const std::string unlock = UnlockText(singles, Machine.System);
    ini.WriteStrings(
        "Game",
        {{"Player", campaign}, {"Single", unlock}, {"Check", CampaignCheck(campaign, unlock)}});
    Start();
    Button();
    ASSERT_EQ(Form->SceneState, ssMenu);
    Dialogs();  // the tips
  }
  TCampaign Stored() {
    TIniFile ini(Ini());
    return ReadCampaignTexts(ini.ReadString("Game", "Player", ""),
                             ini.ReadString("Game", "Single", ""));
  }
  // Chooses the item, flies straight into the mission and clears it as its last event
  // does; then the button on the result screen.
  void ClearMission(const std::string& item, int32_t score) {
    Choose(item);
    ASSERT_EQ(Form->SceneState, ssBriefing);
    Form->SetScene(ssMissionTitle);  // the mission's own way, which a replay follows
    Form->SetScene(ssPlay);
    Form->Score = score;
    Form->MissionCleared = !Form->SinglePlay && Form->Mission >= 1 && Form->Mission <= 5;
    if (Form->MissionCleared)
      Form->SinglesUnlocked = std::max(Form->SinglesUnlocked, Form->Mission);
    Form->PendingScene = ssResult;
    Tick();
    Button();
  }
};

TEST_F(StageFlowTest, AcceptingTheNextMissionAddsTheScoreAndUnlocksTheSingleMission) {
  StartAtMenu();
  Choose("GameMenu");
  EXPECT_FALSE(Form->GameStart->Enabled);
  EXPECT_FALSE(Form->SinglePlay_1->Visible);
  Answer({"ok", "yes", "ok"});
  ClearMission("GameNext", 1234);
  EXPECT_EQ(Form->SceneState, ssMenu);
  EXPECT_EQ(Dialogs(), (TTexts{"任務成功！！戦果は1234でした。", kNext, "次の面に進みました。"}));
  const TCampaign c = Stored();
  EXPECT_EQ(std::tie(c.Mission, c.TotalScore, c.SinglesUnlocked), std::make_tuple(2, 1234, 1));
  Choose("GameMenu");
  EXPECT_EQ(Form->GameNext->Caption, "現在の作戦(2面)を開始");
  EXPECT_TRUE(Form->GameStart->Enabled);
  EXPECT_TRUE(Form->SinglePlay_1->Visible);
  EXPECT_FALSE(Form->SinglePlay_2->Visible);
}

TEST_F(StageFlowTest, DecliningKeepsTheMissionAndHidesTheJustUnlockedSingleAgain) {
  StartAtMenu();
  Answer({"ok", "no", "ok"});
  ClearMission("GameNext", 800);
  EXPECT_EQ(Dialogs(), (TTexts{"任務成功！！戦果は800でした。", kNext, "戦闘を無効にしました。"}));
  EXPECT_EQ(Form->Mission, 1);
  Choose("GameMenu");
  EXPECT_FALSE(Form->SinglePlay_1->Visible);
  EXPECT_EQ(Form->TotalScore, 0);
}

TEST_F(StageFlowTest, ClearingMissionThreeAsASingleMissionShowsNoDialog) {
  StartAtMenu(4, 500, 3);
  Choose("OptionTossin");  // not even the continuous mode carries a single mission on
  const std::string before = ReadFile(Ini());
  ClearMission("SinglePlay_3", 9999);
  EXPECT_EQ(Form->SceneState, ssMenu);
  EXPECT_TRUE(Dialogs().empty());
  EXPECT_EQ(Form->SinglesUnlocked, 3);
  EXPECT_EQ(ReadFile(Ini()), before);
}

TEST_F(StageFlowTest, ContinuousModeGoesFromFourStraightToFiveAndEndsFiveInTheMenu) {
  StartAtMenu(4, 1000, 3);
  Choose("OptionTossin");
  ClearMission("GameNext", 200);
  EXPECT_EQ(Form->SceneState, ssBriefing);
  EXPECT_TRUE(Dialogs().empty());
  TCampaign c = Stored();
  EXPECT_EQ(std::tie(c.Mission, c.TotalScore, c.SinglesUnlocked), std::make_tuple(5, 1200, 4));

  Answer({"ok", "yes", "ok", "yes", "ok"});
  ClearMission("GameNext", 300);
  EXPECT_EQ(Form->SceneState, ssMenu);
  EXPECT_EQ(
      Dialogs(),
      (TTexts{"おめでとうございます。あなたは全面クリアに成功しました。最後の面の戦果は300でした。",
              "これでキャンペーンを終えてもよろしいでしょうか？（「いいえ」を押すとリトライ出来ます"
              "。）",
              "総戦果：",
              "インターネット上でのスコアランキングに参加しますか？（詳しくはヘルプ参照）",
              "全面クリアランキングに参加", "キャンペーンは終了しました。"}));
  EXPECT_EQ(Machine.Dialogs.Log[Machine.Dialogs.Log.size() - 2].Answer, "rank:cancel");
  const auto& total = Machine.Dialogs.Log[Machine.Dialogs.Log.size() - 4];
  EXPECT_EQ(total.Caption + " " + total.Answer, "総戦果表示 text:1500");
  c = Stored();
  EXPECT_EQ(std::tie(c.Mission, c.TotalScore, c.SinglesUnlocked), std::make_tuple(1, 0, 5));

  // Declined, the last mission waits to be played again.
  StartAtMenu(5, 1000, 4);
  Answer({"ok", "no", "ok"});
  ClearMission("GameNext", 300);
  EXPECT_EQ(Dialogs().back(), "戦闘を無効にしました。");
  c = Stored();
  EXPECT_EQ(std::tie(c.Mission, c.TotalScore), std::make_tuple(5, 1000));
}

TEST_F(StageFlowTest, ALostOrAbandonedMissionAddsNothing) {
  StartAtMenu(2, 100, 1);
  const std::string before = ReadFile(Ini());
  Choose("GameNext");
  Form->SetScene(ssPlay);
  Form->Score = 5000;
  Form->PendingScene = ssGameOver;
  Tick(103);
  EXPECT_EQ(Form->SceneState, ssMenu);
  Choose("GameNext");
  Form->SetScene(ssPlay);
  Form->Score = 5000;
  Press('P', true);
  Press(vk::Escape, true);
  Tick();
  EXPECT_EQ(Form->SceneState, ssMenu);
  EXPECT_TRUE(Dialogs().empty());
  EXPECT_EQ(ReadFile(Ini()), before);
}

TEST_F(StageFlowTest, NewCampaignAsksFirstAndAHandEditedOneIsReset) {
  StartAtMenu(3, 100, 2);
  Answer({"no"});
  Choose("GameStart");
  EXPECT_EQ(Stored().Mission, 3);
  // A script that has run out, or says something other than yes, keeps the campaign: No
  // is the default of this question, as it is for Enter in the window.
  Choose("GameStart");
  Answer({"ok"});
  Choose("GameStart");
  EXPECT_EQ(Stored().Mission, 3);
  EXPECT_TRUE(Machine.Dialogs.Answers.empty());
  EXPECT_TRUE(Machine.Dialogs.Log.back().DefaultNo);
  EXPECT_EQ(Machine.Dialogs.Log.back().Answer, "no");
  EXPECT_EQ(Dialogs().size(), 3u);  // the first question and the two just asked
  Answer({"no"});
  Choose("GameStart");
  Answer({"yes", "ok"});
  Choose("GameStart");
  Choose("N18");
  EXPECT_EQ(Dialogs(), (TTexts{"新規に開戦すると、今までのデータは消去されます。よろしいですか？",
                               "新規に開戦すると、今までのデータは消去されます。よろしいですか？",
                               "日本はアメリカに「新規に」宣戦布告しました。",
                               "現在までの総戦果（スコア）は、0です。"}));
  EXPECT_EQ(Stored().Mission, 1);

  for (const char* edited : {"Player=12345", "Player=", "Player=\xFF\xFE\x01"}) {
    WriteFile(Ini(), std::string("[Game]\n") + edited + "\nSingle=x\n");
    Form->Mission = 4;
    Form->TotalScore = 77;
    Choose("GameMenu");
    EXPECT_EQ(
        Dialogs(),
        (TTexts{"重要データー取得部でエラーが発生しました。やむを得ずデーターを初期化します。",
                "もしＩＮＩファイルに何らかの変更を加えていた場合は、デリケートな数値が多いですので"
                "止めて下さい。",
                "覚えが無い場合は、バグの可能性がありますので、最新版を確かめたのち、作者に連絡下さ"
                "い。"}));
    EXPECT_EQ(std::tie(Form->Mission, Form->TotalScore), std::make_tuple(1, 0));
    EXPECT_EQ(Stored().Mission, 1);  // the file holds a good campaign again
  }
}

TEST_F(StageFlowTest, PlaySetUpFollowsTheDifficulty) {
  StartAtMenu();
  const std::tuple<const char*, int, int> kCases[] = {
      {"OptionEasy", 3, 160}, {"OptionMedium", 2, 120}, {"OptionDifficult", 1, 60}};
  for (const auto& [item, support, period] : kCases) {
    Choose(item);
    Choose("DifficultyMenu");
    EXPECT_TRUE(Form->MainMenu.Find(item)->Checked);
    Answer({"file:" + Dir.Path + "/none"});  // an unreadable mission changes nothing
    Choose("LoadCustomMission");
    EXPECT_EQ(Form->CustomMissionFile, Dir.Path + "/none");
    Form->Damage = 50;
    Form->ShotPower = 4;
    Form->CommanderPresent = true;
    Form->SetScene(ssPlay);
    EXPECT_EQ(std::tie(Form->SupportPlanes, ReinforcementPeriod, Form->Mission),
              std::make_tuple(support, period, 55555555));
    EXPECT_EQ(std::tie(Form->Damage, Form->ShotPower, Form->CommanderPresent),
              std::make_tuple(0, 1, false));
    Form->SetScene(ssMenu);
  }
}

TEST_F(StageFlowTest, TheRecordsFollowEveryMissionAndTheCampaignWithoutChangingIt) {
  StartAtMenu();
  Form->KeepRecords();
  for (int32_t m = 1; m <= 4; ++m) {
    Answer({"ok", "yes", "ok"});
    ClearMission("GameNext", m * 1000);
  }
  // Mission 5: congratulations, the campaign ended, its total, no ranking, the end.
  Answer({"ok", "yes", "ok", "no", "ok"});
  ClearMission("GameNext", 5000);
  ASSERT_EQ(Form->Mission, 1);
  const TRecordBook& book = Form->Records()->Book();
  ASSERT_EQ(book.Campaigns.size(), 1u);
  EXPECT_EQ(book.Campaigns[0].Total, 15000);
  EXPECT_EQ(book.Campaigns[0].Scores, (std::array<int32_t, 5>{1000, 2000, 3000, 4000, 5000}));
  ASSERT_EQ(book.Runs.size(), 5u);
  for (const TRunRecord& run : book.Runs) {
    EXPECT_TRUE(run.Cleared);
    EXPECT_EQ(run.Score, std::stoi(run.Mission) * 1000);
    EXPECT_FALSE(run.Replay.empty());
  }

  // Opening 戦績 and watching a run from it leaves the settings and the campaign as they
  // were, and adds no run.
  const std::string settings = ReadFile(Ini());
  Dialogs();
  Answer({"watch:3"});
  Choose("Records");
  ASSERT_TRUE(Form->Replays.Watching());
  for (int i = 0; i < 3000 && Form->Replays.Watching(); ++i)
    Tick();
  EXPECT_FALSE(Form->Replays.Watching());
  Tick();  // the notice comes in the menu
  // The scores above were set by hand, not played, so the replay of mission 3 (the third
  // row with a replay) tells its recorded score apart from the one played.
  EXPECT_NE(Dialogs().back().find("記録の戦果は3000、"), std::string::npos);
  EXPECT_EQ(Form->Records()->Book(), book);
  EXPECT_EQ(ReadFile(Ini()), settings);
  EXPECT_EQ(Form->Mission, 1);
}

}  // namespace
}  // namespace velmora
