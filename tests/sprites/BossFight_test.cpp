#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "engine/Random.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"
#include "sprites/Bosses.h"
#include "sprites/Player.h"
#include "sprites/SpawnFlags.h"

namespace velmora {
namespace {

struct TFightResult {
  int MaxSprites = 0;
  int Score = 0;
  int PlayerShotsLeft = 0;
};

// A boss against a fighter that cannot be shot down, weaving and firing for 3000 frames.
template <class TBoss>
TFightResult Fight(double x, double y, int difficulty, const std::string& shotName) {
  THeadlessMachine machine;
  TMainForm form(machine.Platform);
  form.FormCreate();
  form.FormPaint();
  form.Difficulty = difficulty;
  form.SetScene(ssPlay);
  RandSeed() = 777;
  if (!PlayerSprite) new TPlayerSprite(&form.SpriteEngine.Engine);
  auto* boss = new TBoss(&form.SpriteEngine.Engine);
  boss->X = x;
  boss->Y = y;
  boss->Spawn({0, SF_STOPADV});

  const auto press = [&](int key, bool down) {
    machine.Input.Keys[key] = down;
    down ? form.FormKeyDown(key) : form.FormKeyUp(key);
  };
  TFightResult result;
  const size_t dialogs = machine.Dialogs.Log.size();
  press('Z', true);
  for (int frame = 0; frame < 3000; ++frame) {
    // Weave left and right across the ship.
    const bool left = (frame / 90) % 2 == 0;
    press(vk::Left, left);
    press(vk::Right, !left);
    form.Damage = 0;
    // The last third plays out the sinking and whatever the boss leaves behind.
    if (frame == 2000) {
      EXPECT_TRUE(form.AdvanceStopped);
      boss->TakeDamage(boss->HitPoints);
    }
    machine.System.Now += 16;
    form.Idle();
    result.MaxSprites = std::max(result.MaxSprites, form.SpriteEngine.Engine.SpriteCount);
    // Set VELMORA_TEST_SHOTS to a folder to look at the fight.
    if (const char* dir = std::getenv("VELMORA_TEST_SHOTS");
        dir && (frame == 400 || frame == 1500 || frame == 2040 || frame == 2130))
      SaveScreenshot(machine.Display, dir + ("/" + shotName) + std::to_string(frame) + ".png");
  }
  EXPECT_EQ(form.SceneState, ssPlay);
  EXPECT_EQ(machine.Dialogs.Log.size(), dialogs);  // no error reached the handler
  EXPECT_FALSE(form.AdvanceStopped);
  int bosses = 0;
  for (int i = 0; i < form.SpriteEngine.Engine.Count(); ++i)
    bosses += dynamic_cast<TBoss*>(form.SpriteEngine.Engine.Items(i)) != nullptr;
  EXPECT_EQ(bosses, 0);
  ::testing::Test::RecordProperty("MaxSprites", result.MaxSprites);
  result.Score = form.Score;
  return result;
}

TEST(BossFight, TheBattleshipFightsAnUnbeatableFighterWithoutLeakingShots) {
  const TFightResult r = Fight<TEnemyMissouri>(700, 10, 3, "missouri-");
  EXPECT_GT(r.Score, 0);  // the zones were struck
  EXPECT_LT(r.MaxSprites, 200);
}

TEST(BossFight, TheCarrierFightsAnUnbeatableFighterWithoutLeakingShots) {
  const TFightResult r = Fight<TEnemyEnterprise>(-600, 25, 3, "enterprise-");
  EXPECT_LT(r.MaxSprites, 200);
}

}  // namespace
}  // namespace velmora
