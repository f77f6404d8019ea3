// The main form's side of the records (戦績): each mission played to its end and each
// finished campaign written down, the personal best announced, and the 戦績 command.
#include <algorithm>
#include <filesystem>
#include <string>

#include "shell/MainForm.h"
#include "shell/MissionNames.h"
#include "sprites/Player.h"

namespace velmora {

namespace {
constexpr const char* kCaption = "Velmora";
}  // namespace

void TMainForm::KeepRecords() {
  Records_ = std::make_unique<TRecordsFile>(SettingsDir());
  Replays.OnMissionEnded = [this](const TReplay& take, int32_t easiestDifficulty) {
    MissionEnded(take, easiestDifficulty);
  };
}

void TMainForm::ReadRecords() {
  if (!Records_) return;
  const std::string problem = Records_->Load();
  if (problem.empty()) return;
  AppendErrorLog(problem);
  Platform.Dialogs.MessageBox(TMessageKind::Warning, kCaption, problem, TMessageButtons::OK);
}

void TMainForm::MissionEnded(const TReplay& take, int32_t easiestDifficulty) {
  // A run in the runner's invulnerable mode is no fair run, and no record.
  NewBest_ = false;
  if (!Records_ || take.God) return;
  TPendingRun pending{{}, take};
  TRunRecord& run = pending.Run;
  if (take.Mission == kUserMission) {
    run.Mission = UserMissionKey(take.MissionFileHash);
    run.Name = std::filesystem::path(take.MissionFile).filename().string();
  } else {
    run.Mission = std::to_string(take.Mission);
  }
  run.Difficulty = std::clamp(easiestDifficulty, 1, 3);
  run.Score = take.Result.Score;
  run.Cleared = take.Result.Outcome == TReplayOutcome::Clear;
  run.Damage = Damage;
  run.Date = Platform.System.DateTimeText();
  PendingRun_ = std::move(pending);
  // A cleared mission's score still grows on the result screen (its bonuses); the run is
  // written when the player leaves it.
  if (!run.Cleared) FinishPendingRun();
}

void TMainForm::FinishPendingRun() {
  if (!PendingRun_) return;
  TPendingRun pending = std::move(*PendingRun_);
  PendingRun_.reset();
  if (pending.Run.Cleared) pending.Run.Score = Score;
  try {
    NewBest_ = Records_->AddRun(pending.Run, &pending.Replay);
  } catch (const std::exception& e) {
    AppendErrorLog(e.what());
  }
}

bool TMainForm::ShowsNewBest() {
  if (SceneState == ssGameOver) return NewBest_;
  if (SceneState != ssResult || !PendingRun_ || !Records_) return false;
  TRunRecord now = PendingRun_->Run;
  now.Score = Score;
  return Records_->WouldLead(now);
}

void TMainForm::StopRecording() {
  Replays.Closing();
  FinishPendingRun();
}

void TMainForm::RecordCampaign(const std::function<void(TRecordsFile&)>& step) {
  if (!Records_) return;
  try {
    step(*Records_);
  } catch (const std::exception& e) {
    AppendErrorLog(e.what());
  }
}

void TMainForm::RecordsClick() {
  if (!Records_) return;
  const std::optional<std::string> replay = Platform.Dialogs.ShowRecords(Records_->View());
  if (replay && !replay->empty()) WatchReplayFile(*replay);
}

}  // namespace velmora
