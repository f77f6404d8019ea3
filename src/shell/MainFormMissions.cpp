// TMainForm's side of the appearance lists: building a scene's list, releasing what is due
// and the reinforcement waves.
#include "shell/MainForm.h"

namespace velmora {

// The mission lists arrive with the scheduler; until then every scene starts empty.
void TMainForm::BuildMission(int) {}
void TMainForm::SpawnDue() {}
void TMainForm::ReinforcementTick(int) {}

}  // namespace velmora
