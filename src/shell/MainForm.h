// TMainForm: the game itself: the frame tick and the seven scenes, the menus and their
// commands, sound and music, settings and the campaign, replays and errors. It is the game
// record the sprites see (through Game); the window and the runner reach it through MainForm.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/Timer.h"
#include "engine/WaveList.h"
#include "game/GameRecord.h"
#include "shell/Menu.h"
#include "shell/Records.h"
#include "shell/ReplayDeck.h"

namespace velmora {

// Virtual-key codes the window itself reacts to.
namespace vk {
constexpr int Enter = 13, Pause = 19, Escape = 27, Space = 32;
constexpr int Left = 37, Up = 38, Right = 39, Down = 40;
constexpr int P = 80, F1 = 112, F2 = 113, F12 = 123;
}  // namespace vk

class TMainForm : public TGameRecord {
 public:
  explicit TMainForm(TPlatform& platform);
  ~TMainForm() override;
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  // ---- window events -----------------------------------------------------------------
  void FormCreate();
  void FormPaint();
  // One pass of the idle loop; returns how long the caller may sleep (see TDXTimer::Idle).
  uint32_t Idle() { return DXTimer.Idle(); }
  void FormKeyDown(int key);
  void FormKeyUp(int key);
  // A gamepad's pause input: what the Pause key does, whichever keys pause.
  void PadPausePressed();
  void ApplicationActivated() { DXTimer.ApplicationActivated(); }
  void ApplicationDeactivated() { DXTimer.ApplicationDeactivated(); }

  // ---- the frame loop ----------------------------------------------------------------
  void DXTimerTimer(int lagCount);
  void SetScene(TSceneState state);
  void PalleteAnim(TRGB colour, uint32_t ms) override;
  void CreateScrollBackground(const std::string& imageName);
  void GamePauseClick();

  // ---- sound -------------------------------------------------------------------------
  void PlaySound(const std::string& name, bool wait = false) override;
  void MusicCommand(const std::string& command) override;
  bool DirectInputChosen() const override { return OptionDirectInput->Checked; }
  // "ExpMusic.dxw" from the program folder, else "DefMusic.dxw"; throws when neither loads.
  void LoadMusicFile();
  // The sound component switched on (with the buffers of both wave lists) or off; off also
  // means no music is playing any more.
  void DXSoundInitialize();
  void DXSoundFinalize();

  // ---- menu commands -----------------------------------------------------------------
  void GameMenuClick();
  void GameNextClick();
  void GameStartClick();
  // 現在までの総戦果（ｽｺｱ）表示: the campaign's running total.
  void N18Click();
  void SinglePlay_1Click();
  void SinglePlay_2Click();
  void SinglePlay_3Click();
  void SinglePlay_4Click();
  void SinglePlay_5Click();
  // 機体紹介: the aircraft introduction.
  void N19Click();
  // The six bonus missions, in the order of the ボーナス menu (lists 6 to 11).
  void N20Click();
  void N21Click();
  void N23Click();
  void N25Click();
  void N26Click();
  void N27Click();
  void LoadCustomMissionClick();
  // リプレイ再生: a replay chosen in the file dialog, watched in the window.
  void ReplayPlayClick();
  void GameExitClick();
  void OptionSoundClick();
  void OptionMusicClick();
  void OptionTossinClick();
  void OptionDirectInputClick();
  void OptionShowFPSClick();
  // ランキングサーバー…: the ranking server's address, kept in the settings, and a test of
  // whether it answers.
  void OptionRankingServerClick();
  void DifficultyMenuClick();
  void OptionEasyClick();
  void OptionMediumClick();
  void OptionDifficultClick();
  // 画面サイズ: the window's scale (1 to 3) or full screen; F11 and Alt+Enter toggle the
  // latter. The game itself draws 640x480 whatever is chosen.
  void ScreenSizeMenuClick();
  void ScreenSizeClick(int scale);
  void ToggleFullScreen();
  // 目次／検索: the help's contents and search.
  void SearchforHelpOn1Click();
  // このソフトについて: the about box.
  void N13Click();
  // 公式ホームページへ: the home page in the browser; the help's about page in a build
  // without one.
  void N11Click();
  // キー設定…: the player's keys and gamepad inputs, kept in the settings file at once.
  void KeyBindingsClick();
  // 戦績: the player's records, and the run chosen there watched.
  void RecordsClick();

  // ---- settings, campaign, errors and closing ----------------------------------------
  // The folder of the settings file and the error log (decided once, see SettingsFolder).
  std::string SettingsDir();
  std::string IniFileName() { return SettingsDir() + "/Torvi.INI"; }
  void LoadCampaign();
  void SaveCampaign();
  // Keeps the player's records (戦績) beside the settings: missions played to their end and
  // finished campaigns. The window and the runner do; a form made by a test does not.
  void KeepRecords();
  // The records, once kept (null until KeepRecords).
  const TRecordsFile* Records() const { return Records_.get(); }
  // Ends the recording of a mission under way (as abandoned) and writes down a run whose
  // result screen is still up: the window is closing, or the runner has stopped.
  void StopRecording();
  // Writes the settings; the close is always allowed.
  bool FormCloseQuery();
  // The last word on any error nobody else handled: logged, shown, then quit or resume.
  void AppExceptionHandler(const std::exception& error);
  // Runs a piece of the game, handing what it throws to AppExceptionHandler.
  void RunGuarded(const std::function<void()>& call);
  // Asks the window to close; the window runs FormCloseQuery on its way out.
  void Close() { Platform.Display.CloseWindow(); }
  std::string HelpFile;
  // The ranking form's name and mail address fields, kept in the settings file.
  std::string PlayerName;
  std::string PlayerMail;
  // The keys and gamepad inputs in use (the settings file's [Keys], else the defaults).
  TKeyBindings KeyBindings = TKeyBindings::Defaults();

  // ---- components --------------------------------------------------------------------
  TDXTimer DXTimer;
  TDXImageList ColorImageList;
  TDXWaveList DXWaveList;
  TDXWaveList DXWaveMusicList;
  TMenuItem MainMenu;
  TReplayDeck Replays{*this};

  // Frequently used menu items (owned by MainMenu).
  TMenuItem* GamePause = nullptr;
  TMenuItem* OptionShowFPS = nullptr;
  TMenuItem* OptionSound = nullptr;
  TMenuItem* OptionMusic = nullptr;
  TMenuItem* OptionTossin = nullptr;
  TMenuItem* OptionDirectInput = nullptr;
  TMenuItem* GameMenu = nullptr;
  TMenuItem* GameNext = nullptr;
  TMenuItem* GameStart = nullptr;
  TMenuItem* SinglePlay_1 = nullptr;
  TMenuItem* SinglePlay_2 = nullptr;
  TMenuItem* SinglePlay_3 = nullptr;
  TMenuItem* SinglePlay_4 = nullptr;
  TMenuItem* SinglePlay_5 = nullptr;
  TMenuItem* DifficultyMenu = nullptr;
  TMenuItem* OptionEasy = nullptr;
  TMenuItem* OptionMedium = nullptr;
  TMenuItem* OptionDifficult = nullptr;
  TMenuItem* ScreenSize[4] = {};  // [1] to [3]: 等倍 to 3倍
  TMenuItem* ScreenSizeFull = nullptr;
  // Kept in the settings file; 0 until read (the first start then picks what fits).
  int32_t WindowScale = 0;
  bool FullScreen = false;

  // The display component: initialising it attaches the back buffer to the sprite engine
  // and the catalogues and switches the frame timer on; finalising reverses that.
  bool DXDrawInitialize();
  void DXDrawFinalize();
  // The display reset: the back buffer and the palette set up again for the window at its
  // chosen size.
  void OptionFullScreenClick();

 private:
  friend class TReplayDeck;
  void BuildMission(int listNumber);
  void SpawnDue();
  void ReinforcementTick(int count);
  void DrawHud();
  // "リプレイ" in the bottom-right corner while a replay plays, clear of the HUD.
  void DrawReplayMarker();
  // A line of ours in the same corner of the result screen after a new personal best.
  void DrawNewBestCaption();
  void DrawCornerCaption(const std::string& text, TRGB colour);
  void ReadRecords();
  void MissionEnded(const TReplay& take, int32_t easiestDifficulty);
  // Writes the run the result screen holds back, with the score it ended at.
  void FinishPendingRun();
  // Whether this frame announces a new personal best.
  bool ShowsNewBest();
  // The records' part of the campaign's steps; a failure is logged, never shown mid-game.
  void RecordCampaign(const std::function<void(TRecordsFile&)>& step);
  void StartMission();
  void EndOfMissionDialogs();
  // Offers the finished campaign's total to the online ranking.
  void SubmitRanking();
  void SinglePlayClick(int mission);
  // Watches a replay file; a file this game cannot play is explained in a message.
  void WatchReplayFile(const std::string& path);
  void AdvanceCampaign();
  void StartBonusMission(int mission);
  void ShowTip(const char* key, const std::string& text);
  void ReadOptions();
  void ReadScreenSize();
  void ApplyScreenSize();
  void MarkScreenSize();
  void AppendErrorLog(const std::string& message);
  void ReadKeyBindings();
  // Hands the bindings to the key table, the gamepad and the text screens' keys.
  void ApplyKeyBindings();
  void UpdateGoOnKeys();
  bool& KeyFlag(int action);

  void BuildMenu();
  void SetUpPalette();
  void FrameTitle();
  void FrameMenu();
  void FrameBriefing();
  void FrameMissionTitle();
  void FramePlay();
  void FrameGameOver();
  void FrameResult();
  void EnterScene(TSceneState state);
  void MoveAndFlush();
  void ClearAndDraw();
  void DrawStatusLine();
  void DrawPauseNotice();
  uint8_t NearestColour(TRGB colour) const;

  bool FirstPaintDone_ = false;
  bool OptionsRead_ = false;  // until then the options in memory are not the player's
  bool Closed_ = false;       // FormCloseQuery has run: the window is on its way out
  int PauseFrames_ = 0;       // frames drawn since the game was paused
  // Keys down by the window's key messages.
  std::array<bool, 256> HeldKeys_{};
  std::string SettingsDir_;
  std::unique_ptr<TRecordsFile> Records_;
  struct TPendingRun {
    TRunRecord Run;
    TReplay Replay;
  };
  std::optional<TPendingRun> PendingRun_;  // cleared, its result screen still up
  bool NewBest_ = false;                   // the run just written leads its table
};

// The application-wide reference to the one main form.
extern TMainForm* MainForm;

}  // namespace velmora
