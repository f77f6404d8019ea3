// The game-over screen: one line, the way the pilot fell.
#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "shell/MainForm.h"

namespace velmora {

void BuildGameOver() {
  AddAppearance(1, "TMojiSprite", 200, 100, MainForm->ShotDownMessage, -1, 1, 0);
}

}  // namespace velmora
