#include "shell/ReplayDeck.h"

#include <algorithm>
#include <filesystem>
#include <string>

#include "engine/FileRead.h"
#include "engine/Random.h"
#include "missions/Appearance.h"
#include "missions/MissionFile.h"
#include "shell/MainForm.h"
#include "shell/MissionNames.h"
#include "sprites/Commander.h"
#include "sprites/Player.h"

namespace velmora {

namespace {

constexpr const char* kGameVersion = "2.0";

bool InMission(TSceneState scene) {
  return scene == ssBriefing || scene == ssMissionTitle || scene == ssPlay;
}

// The mission's own way on: briefing to title card to play.
bool MissionGoesOn(TSceneState from, TSceneState to) {
  return (from == ssBriefing && to == ssMissionTitle) || (from == ssMissionTitle && to == ssPlay);
}

uint8_t KeyFlags(const TMainForm& f) {
  return static_cast<uint8_t>((f.KeyEnter ? kKeyEnter : 0) | (f.KeySpace ? kKeySpace : 0) |
                              (f.KeyUp ? kKeyUp : 0) | (f.KeyDown ? kKeyDown : 0) |
                              (f.KeyLeft ? kKeyLeft : 0) | (f.KeyRight ? kKeyRight : 0));
}

void SetKeyFlags(TMainForm& f, uint8_t keys) {
  f.KeyEnter = keys & kKeyEnter;
  f.KeySpace = keys & kKeySpace;
  f.KeyUp = keys & kKeyUp;
  f.KeyDown = keys & kKeyDown;
  f.KeyLeft = keys & kKeyLeft;
  f.KeyRight = keys & kKeyRight;
}

void AddField(std::string& out, const std::string& s) {
  out += std::to_string(s.size());
  out += ':';
  out += s;
}

}  // namespace

uint64_t HashMissionFiles(const std::string& path) {
  uint64_t hash = Fnv1a64("");
  for (const char* extension : {"", ".bfg", ".tle", ".edg"}) {
    // The game's own reader: a missing file hashes as empty, anything but a regular file of
    // a mission's size throws.
    const std::string bytes =
        ReadRegularFile(*extension ? FindMissionSibling(path, extension) : path, kMissionFileLimit)
            .value_or(std::string());
    // Lengths between the files: moving a line from one file to the next changes the hash.
    hash = Fnv1a64(std::to_string(bytes.size()) + ":", hash);
    hash = Fnv1a64(bytes, hash);
  }
  return hash;
}

uint64_t HashAppearanceList() {
  std::string all;
  for (const TObjectAdvent& a : AppearanceList) {
    for (int32_t v : {a.Time, a.X, a.Y, a.Param, a.Level, int32_t{a.Flags}})
      AddField(all, std::to_string(v));
    AddField(all, a.ClassName);
    AddField(all, a.Text);
  }
  return Fnv1a64(all);
}

// ---- recording -------------------------------------------------------------------------

void TReplayDeck::RecordInto(const std::string& folder) {
  // A mission left at its briefing is no run worth one of the ten places.
  OnRecorded = [folder](const TReplay& take) {
    if (take.PlayStarted) StoreReplay(folder, take);
  };
}

void TReplayDeck::BriefingEntered() {
  TMainForm& f = Form_;
  if (Watching_) {
    // The recorded start: the same seed and the same input component.
    Begun_ = true;
    RandSeed() = Tape_.BriefingSeed;
    f.DXInput.ActiveStates = Tape_.StartActive;
    f.DXInput.LastRaw = Tape_.StartLastRaw;
    return;
  }
  if (Recording_) FinishRecording(TReplayOutcome::Abandon);
  if (!OnRecorded && !OnMissionEnded) return;
  Recording_ = true;
  Take_ = TReplay{};
  Take_.GameVersion = kGameVersion;
  Take_.Mission = f.Mission;
  Take_.SinglePlay = f.SinglePlay;
  if (f.Mission == kUserMission) {
    Take_.MissionFile = f.CustomMissionFile;
    try {
      Take_.MissionFileHash = HashMissionFiles(f.CustomMissionFile);
    } catch (const std::exception& e) {
      // A mission that cannot be hashed cannot be checked when played back: not recorded.
      Recording_ = false;
      Form_.AppendErrorLog(std::string("リプレイを記録しません: ") + e.what());
      return;
    }
  }
  Take_.Difficulty = f.Difficulty;
  Take_.DirectInput = f.OptionDirectInput->Checked;
  Take_.God = PlayerHeldAlive;
  Take_.BriefingSeed = RandSeed();
  Take_.StartActive = f.DXInput.ActiveStates;
  Take_.StartLastRaw = f.DXInput.LastRaw;
}

void TReplayDeck::MissionSeeded() {
  if (Watching_ && Begun_) {
    PlayBegun_ = true;
    RandSeed() = Tape_.Seed;
    ReinforcementTimer = Tape_.ReinforcementTimer;
    ReinforcementStep = Tape_.ReinforcementStep;
  } else if (Recording_) {
    Take_.PlayStarted = true;
    EasiestDifficulty_ = Form_.Difficulty;
    Take_.Seed = RandSeed();
    Take_.ReinforcementTimer = ReinforcementTimer;
    Take_.ReinforcementStep = ReinforcementStep;
  }
}

void TReplayDeck::PlayListBuilt() {
  const uint64_t hash = HashAppearanceList();
  if (Watching_ && Begun_ && (!Tape_.PlayStarted || hash != Tape_.ListHash))
    ListChanged_ = true;
  else if (Recording_)
    Take_.ListHash = hash;
}

void TReplayDeck::TickPolled() {
  TMainForm& f = Form_;
  if (Recording_ && !Watching_) {
    TReplayTick tick;
    tick.Raw = f.DXInput.LastRaw;
    tick.Keys = KeyFlags(f);
    tick.Difficulty =
        static_cast<uint8_t>(f.Difficulty >= 1 && f.Difficulty <= 3 ? f.Difficulty : 2);
    tick.DirectInput = f.OptionDirectInput->Checked;
    // A mission begun on 困難 and finished on 簡単 counts as played on 簡単.
    if (Take_.PlayStarted)
      EasiestDifficulty_ = std::min<int32_t>(EasiestDifficulty_, tick.Difficulty);
    // Only Escape in a paused mission asks for a scene between ticks.
    tick.Abandon = f.SceneState == ssPlay && f.PendingScene == ssMenu;
    if (Take_.TickCount() < kReplayMaxTicks)
      Take_.Append(tick);
    else
      FinishRecording(TReplayOutcome::Abandon);
  }
  // Said once the Menu has come, where a dialog's own ticks do no harm.
  if (!Notice_.empty() && f.SceneState == ssMenu) {
    const std::string text = std::move(Notice_);
    Notice_.clear();
    f.Platform.Dialogs.MessageBox(
        NoticeWarning_ ? TMessageKind::Warning : TMessageKind::Information, "Velmora", text,
        TMessageButtons::OK);
  }
}

TReplayResult TReplayDeck::CurrentResult(TReplayOutcome outcome, uint32_t ticks) const {
  // Before play the score is still the last mission's: this one has scored nothing yet.
  const bool played = Watching_ ? PlayBegun_ : Take_.PlayStarted;
  return {played ? Form_.Score : 0, Form_.FrameCount, ticks, outcome};
}

void TReplayDeck::FinishRecording(TReplayOutcome outcome) {
  Recording_ = false;
  Take_.Result = CurrentResult(outcome, Take_.TickCount());
  // A replay or a record that cannot be kept must not end the game: the log says why.
  try {
    if (OnRecorded) OnRecorded(Take_);
  } catch (const std::exception& e) {
    Form_.AppendErrorLog(e.what());
  }
  if (!OnMissionEnded || !Take_.PlayStarted || outcome == TReplayOutcome::Abandon) return;
  try {
    OnMissionEnded(Take_, EasiestDifficulty_);
  } catch (const std::exception& e) {
    Form_.AppendErrorLog(e.what());
  }
}

TSceneState TReplayDeck::SceneChanging(TSceneState from, TSceneState to) {
  if (!InMission(from) || MissionGoesOn(from, to)) return to;
  const TReplayOutcome outcome = from != ssPlay     ? TReplayOutcome::Abandon
                                 : to == ssGameOver ? TReplayOutcome::Failure
                                 : to == ssResult   ? TReplayOutcome::Clear
                                                    : TReplayOutcome::Abandon;
  if (Recording_) FinishRecording(outcome);
  if (!Watching_ || !Begun_) return to;
  LastPlayback_ =
      TPlayback{Tape_.Result, CurrentResult(outcome, Played_), ListChanged_, StopRequested_};
  EndWatching();
  return ssMenu;
}

void TReplayDeck::Closing() {
  if (Recording_) FinishRecording(TReplayOutcome::Abandon);
  if (Watching_) EndWatching();
}

// ---- watching --------------------------------------------------------------------------

void TReplayDeck::Watch(const TReplay& replay) {
  // Only the lists the game has: any other number would be built into scene list numbers
  // that do not exist.
  const int32_t m = replay.Mission;
  if (!((m >= 1 && m <= 11) || m == 9999 || m == kUserMission))
    throw TReplayError("このリプレイの作戦(" + std::to_string(m) + ")はありません。");
  if (m == kUserMission) {
    std::error_code error;
    if (!std::filesystem::exists(replay.MissionFile, error))
      throw TReplayError("このリプレイの作戦ファイル " + replay.MissionFile +
                         " が見つかりません。");
    if (!IsRegularFile(replay.MissionFile))
      throw TReplayError("このリプレイの作戦ファイル " + replay.MissionFile +
                         " は通常のファイルではありません。");
    uint64_t hash = 0;
    try {
      hash = HashMissionFiles(replay.MissionFile);
    } catch (const std::exception& e) {
      throw TReplayError("このリプレイの作戦ファイルを読みこめません: " + std::string(e.what()));
    }
    if (hash != replay.MissionFileHash)
      throw TReplayError("このリプレイを記録した後に作戦ファイル " + replay.MissionFile +
                         " が変更されたため、再生できません。");
  }
  TMainForm& f = Form_;
  if (Recording_) FinishRecording(TReplayOutcome::Abandon);
  if (!Saved_)
    Saved_ = TSaved{f.Mission,
                    f.Difficulty,
                    f.SinglesUnlocked,
                    f.TotalScore,
                    f.SinglePlay,
                    f.MissionCleared,
                    f.OptionDirectInput->Checked,
                    PlayerHeldAlive,
                    CommanderHeldAlive,
                    f.CustomMissionFile,
                    ReinforcementTimer,
                    ReinforcementStep};
  Tape_ = replay;
  Watching_ = true;
  Begun_ = PlayBegun_ = StopRequested_ = ListChanged_ = false;
  Run_ = 0;
  InRun_ = 0;
  Played_ = 0;
  LastPlayback_.reset();
  f.Mission = replay.Mission;
  f.SinglePlay = replay.SinglePlay;
  f.Difficulty = replay.Difficulty;
  f.OptionDirectInput->Checked = replay.DirectInput;
  if (replay.Mission == kUserMission) f.CustomMissionFile = replay.MissionFile;
  PlayerHeldAlive = CommanderHeldAlive = replay.God;
  if (f.GamePause->Checked) f.GamePauseClick();
  f.SetScene(ssBriefing);
  // No mission may start over the replay; the Menu enables the menu again.
  f.GameMenu->Enabled = false;
}

bool TReplayDeck::FeedTick() {
  if (!Watching_) return false;
  TMainForm& f = Form_;
  const bool over = Run_ >= Tape_.Runs.size();
  if (StopRequested_ || ListChanged_ || over) {
    // Ended between the mission's own scene changes: by the viewer, by a list that no
    // longer matches, or by a recording that stopped there (the window was closed).
    LastPlayback_ = TPlayback{Tape_.Result, CurrentResult(TReplayOutcome::Abandon, Played_),
                              ListChanged_, StopRequested_};
    EndWatching();
    f.SetScene(ssMenu);
    return false;
  }
  const TReplayTick& tick = Tape_.Runs[Run_].Tick;
  if (++InRun_ >= Tape_.Runs[Run_].Count) ++Run_, InRun_ = 0;
  ++Played_;
  SetKeyFlags(f, tick.Keys);
  f.Difficulty = tick.Difficulty;
  f.OptionDirectInput->Checked = tick.DirectInput;
  if (tick.Abandon && f.SceneState == ssPlay) {
    f.MusicCommand("STOP");
    f.PendingScene = ssMenu;
  }
  if (Tape_.God) f.Damage = 0;
  f.DXInput.Apply(tick.Raw);
  return true;
}

bool TReplayDeck::KeyDown(int key) {
  if (!Watching_ || key != vk::Escape) return false;
  StopRequested_ = true;
  // A paused replay has no ticks to end it on.
  if (Form_.GamePause->Checked) Form_.GamePauseClick();
  return true;
}

void TReplayDeck::EndWatching() {
  TMainForm& f = Form_;
  Watching_ = Begun_ = false;
  if (Saved_) {
    const TSaved& s = *Saved_;
    f.Mission = s.Mission;
    f.Difficulty = s.Difficulty;
    f.SinglesUnlocked = s.SinglesUnlocked;
    f.TotalScore = s.TotalScore;
    f.SinglePlay = s.SinglePlay;
    f.MissionCleared = false;
    f.OptionDirectInput->Checked = s.DirectInput;
    PlayerHeldAlive = s.PlayerHeld;
    CommanderHeldAlive = s.CommanderHeld;
    f.CustomMissionFile = s.CustomMissionFile;
    ReinforcementTimer = s.ReinforcementTimer;
    ReinforcementStep = s.ReinforcementStep;
    Saved_.reset();
  }
  SetKeyFlags(f, 0);
  f.MusicCommand("STOP");
  if (!LastPlayback_ || LastPlayback_->Stopped) return;
  const TPlayback& p = *LastPlayback_;
  NoticeWarning_ = !p.Same();
  if (p.ListChanged)
    Notice_ = "このリプレイを記録した後に作戦の内容が変わったため、正しく再生できません。";
  else if (!p.Same())
    Notice_ = "リプレイの結果が記録と異なります。記録の戦果は" + std::to_string(p.Recorded.Score) +
              "、再生の戦果は" + std::to_string(p.Played.Score) + "でした。";
  else
    Notice_ = "リプレイの再生を終えました。戦果は" + std::to_string(p.Played.Score) + "でした。";
}

}  // namespace velmora
