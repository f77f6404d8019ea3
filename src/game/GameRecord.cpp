#include "game/GameRecord.h"

#include "engine/Random.h"

namespace velmora {

TGameRecord* Game = nullptr;

std::vector<TObjectAdvent> AppearanceList;
int32_t ScheduleTotal = 0;
int32_t ReinforcementPeriod = 120;
int32_t ReinforcementTimer = 0;
int32_t ReinforcementStep = 0;
TPlayerSprite* PlayerSprite = nullptr;
// Where a "Zero21" at its starting place has its centre.
TPoint LastAimPoint{320, 427};
TImageSprite* CommanderPlane = nullptr;
bool PlayerHeldAlive = false;
bool CommanderHeldAlive = false;

TGameRecord::TGameRecord(TPlatform& platform)
    : Platform(platform),
      DXInput(platform.Input),
      ImageList("TDXImageList"),
      SpriteEngine(platform.Display) {
  ResetGame();
  Game = this;
}

TGameRecord::~TGameRecord() {
  SpriteEngine.Engine.Clear();
  if (Game == this) Game = nullptr;
}

void TGameRecord::ResetScene() {
  SpriteEngine.Engine.Clear();
  DXInput.ClearButtons();
  AdvanceStopped = false;
  ScrollSpeed = 4;
  AppearanceIndex = 0;
  FrameCount = 0;
  AppearanceList.clear();
  ScheduleTotal = 0;
}

void TGameRecord::ResetGame() {
  SpriteEngine.Engine.Clear();
  AppearanceList.clear();
  ScheduleTotal = 0;
  ReinforcementPeriod = 120;
  ReinforcementTimer = 0;
  ReinforcementStep = 0;
  PlayerSprite = nullptr;
  LastAimPoint = {320, 427};
  CommanderPlane = nullptr;
  PlayerHeldAlive = CommanderHeldAlive = false;
  RandSeed() = 0;
}

}  // namespace velmora
