#include <stdexcept>
#include <vector>

#include "engine/Assets.h"
#include "engine/Bmp.h"
#include "platform/StbImageWrite.h"
#include "platform/headless/Headless.h"

namespace velmora {

void SaveScreenshot(THeadlessDisplay& display, const std::string& path) {
  const int w = 640, h = 480;
  std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
  if (display.TitleImageShown) {
    // The menu scene shows the still picture, stretched over the window.
    const TPicture still = DecodeBmp(FindAsset("images/TitleImage.bmp"));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const TRGB c = still.ColourAt(x * still.Width / w, y * still.Height / h);
        uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        p[0] = c.R, p[1] = c.G, p[2] = c.B;
      }
  } else {
    const TSurface& back = display.BackBuffer();
    const TPalette& palette = display.Palette();
    for (int y = 0; y < h && y < back.Height(); ++y)
      for (int x = 0; x < w && x < back.Width(); ++x) {
        const TRGB c = palette[back.Pixel(x, y)];
        uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        p[0] = c.R, p[1] = c.G, p[2] = c.B;
      }
  }
  if (!stbi_write_png(path.c_str(), w, h, 3, rgb.data(), w * 3))
    throw std::runtime_error("cannot write screenshot " + path);
}

}  // namespace velmora
