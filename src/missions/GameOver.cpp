// The game-over screen: one line, the way the pilot fell.
#include "game/GameRecord.h"
#include "missions/Appearance.h"
#include "missions/Missions.h"

namespace velmora {

void BuildGameOver() {
  AddAppearance(1, "TMojiSprite", 200, 100, Game->ShotDownMessage, -1, 1, 0);
}

}  // namespace velmora
