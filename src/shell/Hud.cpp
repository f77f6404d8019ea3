// The play scene's head-up display.
#include "shell/MainForm.h"

namespace velmora {

void TMainForm::DrawHud() {}

}  // namespace velmora
