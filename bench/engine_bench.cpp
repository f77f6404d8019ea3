// Ticks per second of the headless frame loop: 300 animated image sprites over the tiled
// sea, moved, collision-tested and fully redrawn every tick.
//
// Usage: engine_bench [TICKS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/Random.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"

namespace {

using namespace velmora;

// Drifts across the screen, wraps around, animates and asks for its collisions.
class TBenchSprite : public TImageSprite {
 public:
  using TImageSprite::TImageSprite;
  void Advance(int moveCount) override {
    TImageSprite::Advance(moveCount);
    X += VX * moveCount;
    Y += VY * moveCount;
    if (X > 640) X = -Width;
    if (X < -Width) X = 640;
    if (Y > 480) Y = -Height;
    if (Y < -Height) Y = 480;
    if (Probe) Hits += CheckCollisions();
  }
  double VX = 0, VY = 0;
  bool Probe = false;
  long Hits = 0;
};

double Run(bool pixelTest, int ticks) {
  THeadlessMachine machine;
  TMainForm form(machine.Platform);
  form.FormCreate();
  form.FormPaint();
  RandSeed() = 12345;
  const char* const kImages[] = {"F4F", "Explosion", "Plasma", "Smoke", "TamaHane"};
  for (int i = 0; i < 300; ++i) {
    auto* s = new TBenchSprite(&form.SpriteEngine.Engine);
    s->SetImageSized(&form.ImageList.Items.Find(kImages[i % 5]));
    s->AnimLoop = true;
    s->AnimRate = 0.01 + Random(10) / 1000.0;
    s->X = Random(640);
    s->Y = Random(480);
    s->VX = (Random(200) - 100) / 1000.0;
    s->VY = (Random(200) - 100) / 1000.0;
    s->PixelTest = pixelTest;
    s->Probe = i % 10 == 0;  // like shots and the fighter: a few sprites ask
  }
  std::vector<double> ms;
  ms.reserve(ticks);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < ticks; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    machine.System.Now += 16;
    form.Idle();
    ms.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::sort(ms.begin(), ms.end());
  std::printf("%-16s %8.0f ticks/s   p50 %.3f ms  p99 %.3f ms  (sprites %d)\n",
              pixelTest ? "pixel test on" : "pixel test off", ticks / seconds, ms[ms.size() / 2],
              ms[ms.size() * 99 / 100], form.SpriteEngine.Engine.SpriteCount);
  return ticks / seconds;
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::max(100, std::atoi(argv[1])) : 3000;
  Run(false, ticks);
  Run(true, ticks);
  return 0;
}
