// Starting and ending missions, the campaign and the "ゲーム" menu's commands.
#include <climits>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/Random.h"
#include "missions/Appearance.h"
#include "missions/MissionFile.h"
#include "ranking/RnkSubmit.h"
#include "shell/MainForm.h"
#include "shell/MissionNames.h"
#include "shell/Settings.h"
#include "sprites/Player.h"

namespace velmora {

namespace {

constexpr const char* kCaption = "Velmora";

// A total beyond the counter's range stays at its top instead of turning negative.
int32_t AddScore(int32_t total, int32_t score) {
  const int64_t sum = int64_t{total} + score;
  return sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : static_cast<int32_t>(sum);
}

}  // namespace

// ---- play set-up -----------------------------------------------------------------------

void TMainForm::StartMission() {
  Randomize(Platform.System);
  Replays.MissionSeeded();
  Score = 0;
  AppearanceIndex = 0;
  FrameCount = 0;
  Damage = 0;
  CommanderDamage = 0.0;
  CommanderPresent = false;
  MissionCleared = false;
  ShotPower = 1;
  FireEnabled = true;
  P36Image = "P36";
  PlayerImage = "Zero21";
  SBDImage = "SBD";
  ShotDownMessage = "撃墜されてしまった..。";
  MissionDifficulty = Difficulty;
  switch (Difficulty) {
    case 1:
      SupportPlanes = 3;
      ReinforcementPeriod = 160;
      break;
    case 3:
      SupportPlanes = 1;
      ReinforcementPeriod = 60;
      break;
    default:
      SupportPlanes = 2;
      ReinforcementPeriod = 120;
      break;
  }
  AdvanceStopped = false;
  ReinforcementsOn = false;
  // The mission's list may override the fields set above.
  BuildMission(Mission);
  Replays.PlayListBuilt();
  new TPlayerSprite(&SpriteEngine.Engine);
  if (BackgroundImage != "NONE") CreateScrollBackground(BackgroundImage);
}

// ---- the end of a mission --------------------------------------------------------------

void TMainForm::EndOfMissionDialogs() {
  IDialogs& d = Platform.Dialogs;
  const auto info = [&d](const std::string& text) {
    d.MessageBox(TMessageKind::Information, kCaption, text, TMessageButtons::OK);
  };
  const auto ask = [&d](const std::string& text) {
    return d.MessageBox(TMessageKind::Confirmation, kCaption, text, TMessageButtons::YesNo) ==
           TMessageResult::Yes;
  };
  if (Mission == 5) {
    info("おめでとうございます。あなたは全面クリアに成功しました。最後の面の戦果は" +
         std::to_string(Score) + "でした。");
    if (!ask("これでキャンペーンを終えてもよろしいでしょうか？（「いいえ」を押すとリトライ出来ます"
             "。）")) {
      info("戦闘を無効にしました。");
      return;
    }
    TotalScore = AddScore(TotalScore, Score);
    RecordCampaign([this](TRecordsFile& records) {
      records.CampaignFinished(Score, TotalScore, Platform.System.DateTimeText(), !PlayerHeldAlive);
    });
    // Only a look at the total: whatever the player types there is not used.
    d.InputBox("総戦果表示", "総戦果：", std::to_string(TotalScore));
    if (ask("インターネット上でのスコアランキングに参加しますか？（詳しくはヘルプ参照）"))
      SubmitRanking();
    info("キャンペーンは終了しました。");
    Mission = 1;
    TotalScore = 0;
    SaveCampaign();
    return;
  }
  info("任務成功！！戦果は" + std::to_string(Score) + "でした。");
  if (ask("次の面に進みますか？（「いいえ」を押すとリトライ出来ます。）")) {
    AdvanceCampaign();
    info("次の面に進みました。");
  } else {
    info("戦闘を無効にしました。");
  }
}

// The continuous mode's step from the Result screen: the next mission without dialogs.
void TMainForm::AdvanceCampaign() {
  RecordCampaign([this](TRecordsFile& records) {
    records.CampaignMissionDone(Mission, Score, !PlayerHeldAlive);
  });
  TotalScore = AddScore(TotalScore, Score);
  ++Mission;
  SaveCampaign();
}

void TMainForm::SubmitRanking() {
  TRnkSubmitForm form(Platform, Platform.RankingDialog, Platform.RankingTransport, TotalScore);
  // Players and clubs running a ranking server of their own name it in the settings.
  const std::string url = TIniFile(IniFileName()).ReadString("Ranking", "URL", "");
  form.EndpointURL = url.empty() ? DefaultEndpointURL() : url;
  form.Label5 = "全面クリアランキングに参加";
  form.NameEdit = PlayerName;
  form.MailEdit = PlayerMail;
  Platform.RankingDialog.ShowModal(form);
  // An address the player gave in the dialog (none was known) is kept for next time.
  if (url.empty() && !form.EndpointURL.empty() && form.EndpointURL != DefaultEndpointURL())
    TIniFile(IniFileName()).WriteString("Ranking", "URL", form.EndpointURL);
  PlayerName = form.NameEdit;
  PlayerMail = form.MailEdit;
}

// ---- the "ゲーム" menu -----------------------------------------------------------------

void TMainForm::GameMenuClick() {
  LoadCampaign();
  GameStart->Enabled = Mission != 1;
  GameNext->Caption = "現在の作戦(" + std::to_string(Mission) + "面)を開始";
  TMenuItem* const singles[] = {SinglePlay_1, SinglePlay_2, SinglePlay_3, SinglePlay_4,
                                SinglePlay_5};
  for (int n = 1; n <= 5; ++n)
    singles[n - 1]->Visible = SinglesUnlocked >= n;
}

void TMainForm::GameNextClick() {
  SinglePlay = false;
  SetScene(ssBriefing);
}

void TMainForm::GameStartClick() {
  if (Mission != 1 && Platform.Dialogs.MessageBox(
                          TMessageKind::Confirmation, kCaption,
                          "新規に開戦すると、今までのデータは消去されます。よろしいですか？",
                          TMessageButtons::YesNoDefaultNo) != TMessageResult::Yes)
    return;
  Mission = 1;
  TotalScore = 0;
  SaveCampaign();
  RecordCampaign([](TRecordsFile& records) { records.CampaignRestarted(); });
  Platform.Dialogs.MessageBox(TMessageKind::Information, kCaption,
                              "日本はアメリカに「新規に」宣戦布告しました。", TMessageButtons::OK);
}

void TMainForm::N18Click() {
  Platform.Dialogs.MessageBox(
      TMessageKind::Information, kCaption,
      "現在までの総戦果（スコア）は、" + std::to_string(TotalScore) + "です。",
      TMessageButtons::OK);
}

void TMainForm::SinglePlayClick(int mission) {
  Mission = mission;
  SinglePlay = true;
  SetScene(ssBriefing);
}

void TMainForm::SinglePlay_1Click() {
  SinglePlayClick(1);
}
void TMainForm::SinglePlay_2Click() {
  SinglePlayClick(2);
}
void TMainForm::SinglePlay_3Click() {
  SinglePlayClick(3);
}
void TMainForm::SinglePlay_4Click() {
  SinglePlayClick(4);
}
void TMainForm::SinglePlay_5Click() {
  SinglePlayClick(5);
}

// SinglePlay is left alone: it only matters for the campaign's missions.
void TMainForm::StartBonusMission(int mission) {
  Mission = mission;
  SetScene(ssBriefing);
}

void TMainForm::N19Click() {
  StartBonusMission(9999);
}
void TMainForm::N20Click() {
  StartBonusMission(6);
}
void TMainForm::N21Click() {
  StartBonusMission(7);
}
void TMainForm::N23Click() {
  StartBonusMission(8);
}
void TMainForm::N25Click() {
  StartBonusMission(9);
}
void TMainForm::N26Click() {
  StartBonusMission(10);
}
void TMainForm::N27Click() {
  StartBonusMission(11);
}

void TMainForm::LoadCustomMissionClick() {
  std::optional<std::string> path =
      Platform.Dialogs.OpenFile("オリジナルミッションロード", "オリジナルミッションファイル|*.omf");
  if (!path || path->empty()) return;
  CustomMissionFile = ChosenMissionFile(*path);
  Mission = kUserMission;
  SetScene(ssBriefing);
}

void TMainForm::ReplayPlayClick() {
  const std::optional<std::string> path =
      Platform.Dialogs.OpenFile("リプレイ再生", kReplayFileFilter);
  if (path && !path->empty()) WatchReplayFile(*path);
}

void TMainForm::WatchReplayFile(const std::string& path) {
  try {
    Replays.Watch(ReadReplayFile(path));
  } catch (const TReplayError& e) {
    Platform.Dialogs.MessageBox(TMessageKind::Warning, kCaption, e.what(), TMessageButtons::OK);
  }
}

// ---- difficulty ------------------------------------------------------------------------

void TMainForm::DifficultyMenuClick() {
  OptionEasy->Checked = Difficulty == 1;
  OptionMedium->Checked = Difficulty == 2;
  OptionDifficult->Checked = Difficulty == 3;
}

void TMainForm::OptionEasyClick() {
  Difficulty = 1;
}
void TMainForm::OptionMediumClick() {
  Difficulty = 2;
}
void TMainForm::OptionDifficultClick() {
  Difficulty = 3;
}

}  // namespace velmora
