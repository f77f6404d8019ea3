// The play scene's head-up display.
#include <string>

#include "engine/MathUtil.h"
#include "shell/MainForm.h"

namespace velmora {

void TMainForm::DrawHud() {
  TSurface& screen = Platform.Display.BackBuffer();
  ImageList.Items.Find("Issiki_I").Draw(screen, 520, 10, 0);
  const uint8_t white = NearestColour(TRGB{255, 255, 255});
  Text.SetFont(kFontGothic, 18);
  Text.TextOut(screen, 550, 10, " × " + std::to_string(SupportPlanes), white);
  Text.TextOut(screen, 10, 10, "戦果   " + std::to_string(Score), white);
  Text.TextOut(screen, 10, 40, "損傷率  " + std::to_string(Damage) + "％", white);
  if (CommanderPresent)
    Text.TextOut(screen, 10, 70, "長官機損傷率  " + std::to_string(Round64(CommanderDamage)) + "％",
                 white);
}

}  // namespace velmora
