// Ticks per second of a busy play field: the fighter holding fire at power 8, 40 enemies on
// their patterns and 200 enemy shots, all moved, collision-tested and fully drawn each tick.
// Whatever dies or leaves is replaced at once, so the load stays the same.
//
// Usage: play_bench [TICKS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "engine/Random.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/Enemy.h"
#include "sprites/EnemyShots.h"
#include "sprites/Player.h"
#include "sprites/PlayerShots.h"

namespace {

using namespace velmora;

// CPU time of this thread: the figure that does not count time the machine gave to others.
double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

class TBenchEnemy : public TEnemy {
 public:
  using TEnemy::TEnemy;
  void Advance(int moveCount) override {
    TImageSprite::Advance(moveCount);
    MoveByPattern(*this, Pattern, moveCount);
  }
  void DoHit(bool destroyed) override {
    if (!destroyed) return;
    State = -1;
    Age = 0;
  }
};

constexpr int kPatterns[] = {1, 2, 3, 4, 5, 6, -1, -2};

void AddEnemy(TMainForm& form, int i) {
  auto* e = new TBenchEnemy(&form.SpriteEngine.Engine);
  const int pattern = kPatterns[i % 8];
  const bool bomber = pattern < 0;
  e->SetImageSized(&form.ImageList.Items.Find(bomber ? "B26" : "F4F"));
  e->AnimLoop = true;
  e->AnimRate = 0.015;
  e->PixelTest = true;
  e->HitPoints = bomber ? 400 : 10;
  e->Power = bomber ? 20 : 5;
  e->X = Random(560);
  e->Y = -Random(100);
  e->Spawn({pattern, 0, false});
}

void AddShot(TMainForm& form) {
  auto* s = new TEnemyTama(&form.SpriteEngine.Engine);
  s->SetZ(1);
  s->X = Random(640);
  s->Y = Random(480) - 100;
  if (Random(2) == 0) {
    s->FallSpeed = 0.25;
  } else {
    s->ShotMode = 1;
    s->Image = &form.ImageList.Items.Find("50cal");
    s->Path = HeadingPath(s->X, s->Y, Random(360), 0.25, 50);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::max(100, std::atoi(argv[1])) : 5000;
  THeadlessMachine machine;
  TMainForm form(machine.Platform);
  form.FormCreate();
  form.FormPaint();
  form.OptionFullScreenClick();
  form.SetScene(ssPlay);
  RandSeed() = 12345;
  machine.Input.Keys['Z'] = true;

  TSpriteEngine& engine = form.SpriteEngine.Engine;
  std::vector<double> ms;
  ms.reserve(ticks);
  long enemiesSeen = 0, shotsSeen = 0, gunShotsSeen = 0;
  std::chrono::duration<double> total{};
  double cpu = 0;
  for (int i = 0; i < ticks; ++i) {
    // Keep the population steady (outside the timed part).
    int enemies = 0, shots = 0;
    for (int k = 0; k < engine.Count(); ++k) {
      TSprite* s = engine.Items(k);
      if (dynamic_cast<TTamaSprite*>(s)) {
        ++gunShotsSeen;
      } else if (dynamic_cast<TEnemyTama*>(s)) {
        ++shots;
      } else if (dynamic_cast<TBenchEnemy*>(s)) {
        ++enemies;
      }
    }
    for (; enemies < 40; ++enemies)
      AddEnemy(form, Random(8));
    for (; shots < 200; ++shots)
      AddShot(form);
    enemiesSeen += enemies;
    shotsSeen += shots;
    form.ShotPower = 8;
    form.Damage = 0;

    const double c0 = ThreadSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    machine.System.Now += 16;
    form.Idle();
    const auto dt = std::chrono::steady_clock::now() - t0;
    cpu += ThreadSeconds() - c0;
    total += dt;
    ms.push_back(std::chrono::duration<double, std::milli>(dt).count());
  }
  std::sort(ms.begin(), ms.end());
  std::printf(
      "play field  %8.0f ticks/s wall, %8.0f ticks/s cpu   p50 %.3f ms  p99 %.3f ms\n"
      "            (sprites now %d; per tick on average %ld enemies, %ld enemy shots, %ld gun "
      "shots)\n",
      ticks / total.count(), ticks / cpu, ms[ms.size() / 2], ms[ms.size() * 99 / 100],
      engine.SpriteCount, enemiesSeen / ticks, shotsSeen / ticks, gunShotsSeen / ticks);
  return 0;
}
