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

void TMainForm::DrawReplayMarker() {
  // A replay looks exactly like play; this is what tells the viewer apart.
  DrawCornerCaption("リプレイ", TRGB{255, 255, 0});
}

void TMainForm::DrawNewBestCaption() {
  // Watching never sets a record, so the corner is never wanted for both at once.
  DrawCornerCaption("自己ベスト更新！", TRGB{0, 255, 255});
}

void TMainForm::DrawCornerCaption(const std::string& text, TRGB colour) {
  // The bottom-right corner is free of the HUD, the status line, the pause notice and the
  // result screen's texts, and the fighter rarely sits there.
  TSurface& screen = Platform.Display.BackBuffer();
  Text.SetFont(kFontGothic, 12);
  const int x = screen.Width() - Text.TextWidth(text) - 8;
  const int y = screen.Height() - Text.TextHeight() - 6;
  // A shadow keeps it readable over white clouds and explosions alike.
  Text.TextOut(screen, x + 1, y + 1, text, NearestColour(TRGB{0, 0, 0}));
  Text.TextOut(screen, x, y, text, NearestColour(colour));
}

}  // namespace velmora
