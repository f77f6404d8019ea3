// The main form's recorder and player of replays: it records every mission from its
// briefing to its end, and plays a replay back through the same scenes, feeding the
// recorded input tick by tick instead of the keyboard's.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "game/GameRecord.h"
#include "shell/Replay.h"

namespace velmora {

class TMainForm;

// The hash of a user mission's file and its three siblings (a missing one counts as empty).
uint64_t HashMissionFiles(const std::string& path);
// The hash of the appearance list as it stands.
uint64_t HashAppearanceList();

class TReplayDeck {
 public:
  explicit TReplayDeck(TMainForm& form) : Form_(form) {}

  // Where a finished recording goes (the window's replays folder, the runner's --record
  // file). Unset: nothing is recorded. What it throws is logged, never shown mid-game.
  std::function<void(const TReplay&)> OnRecorded;
  // The window's way: every mission that got as far as play goes into the folder (see
  // StoreReplay).
  void RecordInto(const std::string& folder);
  // Every mission played to its end, cleared or shot down (never one watched): the run, and
  // the easiest difficulty it was played at from its start on. What it throws is logged.
  std::function<void(const TReplay&, int32_t easiestDifficulty)> OnMissionEnded;

  // ---- hooks of the main form --------------------------------------------------------
  void BriefingEntered();
  // Right after the mission start's re-seed, and after its list is built.
  void MissionSeeded();
  void PlayListBuilt();
  // Before every scene change; returns the scene to enter (a finished replay goes to the
  // Menu, leaving the campaign as it was).
  TSceneState SceneChanging(TSceneState from, TSceneState to);
  // At the start of a tick: while watching, applies the recorded input and returns true
  // (the devices are not polled).
  bool FeedTick();
  // After the input of a tick is in.
  void TickPolled();
  // While watching only pause and Escape act; returns true when the key was taken here.
  bool KeyDown(int key);
  // The window closes: a recording ends as abandoned, a replay gives back what it changed.
  void Closing();

  // Starts watching. Throws TReplayError when this game cannot play it.
  void Watch(const TReplay& replay);
  bool Watching() const { return Watching_; }
  bool Recording() const { return Recording_; }

  struct TPlayback {
    TReplayResult Recorded;
    TReplayResult Played;
    bool ListChanged = false;  // the mission's list differs from the one recorded
    bool Stopped = false;      // the viewer pressed Escape
    bool Same() const { return !ListChanged && Recorded == Played; }
  };
  // The replay watched last, once it has ended.
  const std::optional<TPlayback>& LastPlayback() const { return LastPlayback_; }

 private:
  void FinishRecording(TReplayOutcome outcome);
  void EndWatching();
  TReplayResult CurrentResult(TReplayOutcome outcome, uint32_t ticks) const;

  TMainForm& Form_;
  bool Recording_ = false;
  TReplay Take_;
  int32_t EasiestDifficulty_ = 1;

  bool Watching_ = false;
  bool Begun_ = false;
  bool PlayBegun_ = false;
  bool StopRequested_ = false;
  bool ListChanged_ = false;
  TReplay Tape_;
  size_t Run_ = 0;
  uint32_t InRun_ = 0;
  uint32_t Played_ = 0;
  std::optional<TPlayback> LastPlayback_;
  std::string Notice_;
  bool NoticeWarning_ = false;

  // What watching changes of the game, given back when it ends.
  struct TSaved {
    int32_t Mission, Difficulty, SinglesUnlocked, TotalScore;
    bool SinglePlay, MissionCleared, DirectInput, PlayerHeld, CommanderHeld;
    std::string CustomMissionFile;
    int32_t ReinforcementTimer, ReinforcementStep;
  };
  std::optional<TSaved> Saved_;
};

}  // namespace velmora
