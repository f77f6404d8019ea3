// TGameRecord: what the sprites and the mission lists read and write of the game, and the
// few services they call. The main form is one (it derives from it); sprites reach it
// through Game.
#pragma once

#include <cstdint>
#include <string>

#include "engine/ImageList.h"
#include "engine/Input.h"
#include "engine/Sprite.h"
#include "engine/TextRenderer.h"
#include "game/PlayState.h"
#include "platform/Platform.h"

namespace velmora {

// The seven scenes of the game; ssNone only before the first.
enum class TSceneState : uint8_t {
  ssNone = 0,
  ssTitle = 1,
  ssMenu = 2,
  ssBriefing = 3,
  ssMissionTitle = 4,
  ssPlay = 5,
  ssGameOver = 6,
  ssResult = 7,
};
using enum TSceneState;

// One tick of game time: the frame timer's interval and what every Advance is handed.
constexpr int kTickMs = 16;

class TGameRecord {
 public:
  explicit TGameRecord(TPlatform& platform);
  virtual ~TGameRecord();
  TGameRecord(const TGameRecord&) = delete;
  TGameRecord& operator=(const TGameRecord&) = delete;

  // ---- what the sprites may ask of the game ------------------------------------------
  // An effect of the wave list; with wait the call returns once it has played.
  virtual void PlaySound(const std::string& name, bool wait = false) = 0;
  virtual void MusicCommand(const std::string& command) = 0;
  // Fades the palette towards a colour over the given time.
  virtual void PalleteAnim(TRGB colour, uint32_t ms) = 0;
  // The DirectInput option: the fighter reads the input states rather than the key flags.
  virtual bool DirectInputChosen() const = 0;
  // Blocking sleep of the whole program.
  void Wait(uint32_t ms) { Platform.System.Sleep(ms); }
  // The scene the frame loop changes to once the current tick is over.
  void RequestScene(TSceneState scene) { PendingScene = scene; }

  // What a scene change resets, in this order: the sprites (and with them the planes the
  // enemies look for), the input buttons, the schedule's hold and scroll, the scene's
  // counters and its schedule.
  void ResetScene();
  // Everything a game starts from, the program-wide play state and the random generator
  // included, so a second game in the same process starts as the first did.
  void ResetGame();

  // ---- the game record ---------------------------------------------------------------
  TSceneState SceneState = ssNone;
  TSceneState PendingScene = ssNone;
  int32_t ScrollSpeed = 0;
  int32_t TotalScore = 0;
  int32_t Score = 0;
  int32_t Damage = 0;
  double CommanderDamage = 0;
  bool CommanderPresent = false;
  int32_t ShotPower = 0;
  int32_t SupportPlanes = 0;
  bool FireEnabled = false;
  std::string P36Image = "P36";
  std::string BackgroundImage = "Sea";
  std::string PlayerImage = "Zero21";
  std::string SBDImage = "SBD";
  std::string ShotDownMessage = "撃墜されてしまった..。";
  int32_t Difficulty = 1;
  // The difficulty the mission in play started with: its bonus is earned at that level,
  // whatever the menu says by the end.
  int32_t MissionDifficulty = 1;
  int32_t Mission = 0;
  int32_t SinglesUnlocked = 0;
  bool SinglePlay = false;
  bool MissionCleared = false;
  bool AdvanceStopped = false;
  bool ReinforcementsOn = false;
  int32_t FrameCount = 0;
  std::string CurrentMusic = "NONE";
  bool ExpandedMusic = false;
  bool KeyEnter = false, KeySpace = false, KeyUp = false, KeyDown = false, KeyLeft = false,
       KeyRight = false;
  std::string CustomMissionFile;
  int32_t AppearanceIndex = 0;

  // ---- what the sprites draw and live in ---------------------------------------------
  TPlatform& Platform;
  TDXInput DXInput;
  TDXImageList ImageList;
  TDXSpriteEngine SpriteEngine;
  TTextRenderer Text;
};

// The application-wide reference to the game record: the main form while one exists.
extern TGameRecord* Game;

}  // namespace velmora
