// TMainForm's side of the appearance lists: building a scene's list, releasing what is due
// and the reinforcement waves.
#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "shell/MainForm.h"

namespace velmora {

void TMainForm::BuildMission(int listNumber) {
  velmora::BuildMission(listNumber);
}

void TMainForm::SpawnDue() {
  velmora::SpawnDue();
}

void TMainForm::ReinforcementTick(int count) {
  velmora::ReinforcementTick(count);
}

}  // namespace velmora
