#include "sprites/Player.h"

#include <gtest/gtest.h>

#include "sprites/EnemyShots.h"
#include "sprites/Issiki.h"
#include "sprites/PlayField.h"
#include "sprites/PlayerShots.h"

namespace velmora::test {
namespace {

class TShip : public TPatternEnemy {
 public:
  using TPatternEnemy::TPatternEnemy;
  const char* ClassName() const override { return "TEnemyDestroyer"; }
};

class PlayerSpriteTest : public PlayField {
 protected:
  TPlayerSprite* Fighter() { return new TPlayerSprite(&Engine()); }
  void Hold(int state, bool on = true) { Form.DXInput.ActiveStates.Set(state, on); }
  // The ticks, counted from 1, on which the named effect sounded.
  std::vector<int> SoundTicks(const std::string& name, int ticks) {
    std::vector<int> at;
    for (int tick = 1; tick <= ticks; ++tick) {
      const int before = Plays(name);
      Step();
      if (Plays(name) > before) at.push_back(tick);
    }
    return at;
  }
};

TEST_F(PlayerSpriteTest, HeldFireShootsOnTheEighthTickThenEverySeventh) {
  TPlayerSprite* p = Fighter();
  Hold(isButton1);
  EXPECT_EQ(SoundTicks("30cal", 22), (std::vector<int>{8, 15, 22}));
  EXPECT_EQ(p->ShotsOut, 3);
  Hold(isButton1, false);
  Step(40);  // every shot has left the top and given its volley back
  EXPECT_TRUE(All<TTamaSprite>().empty());
  EXPECT_EQ(p->ShotsOut, 0);
  Hold(isButton1);
  Form.FireEnabled = false;
  Step(10);
  EXPECT_TRUE(All<TTamaSprite>().empty());
}

TEST_F(PlayerSpriteTest, EveryPowerLevelFiresItsVolley) {
  // Right shot, then left, around the centre line x = 320, 20 px above the fighter.
  const struct {
    const char* Right;
    int RightX, LeftX, Damage, Penetration;
  } table[8] = {{"PlayerTama1", 313, 0, 2, 5},           {"PlayerTama2_R", 320, 304, 2, 5},
                {"PlayerTama3_R", 326, 302, 3, 5},       {"PlayerTama4_R", 329, 297, 4, 15},
                {"PlayerTama5_R", 332, 292, 5, 15},      {"PlayerTama5_20_1_R", 332, 292, 6, 25},
                {"PlayerTama5_20_3_R", 332, 292, 7, 35}, {"PlayerTama5_20_5_R", 332, 292, 8, 45}};
  Hold(isButton1);
  for (int level = 1; level <= 8; ++level) {
    SCOPED_TRACE(level);
    Engine().Clear();
    Fighter()->LastShot = -100;
    Form.ShotPower = level;
    Step();
    const auto shots = All<TTamaSprite>();
    ASSERT_EQ(shots.size(), level == 1 ? 1u : 2u);
    const auto& e = table[level - 1];
    EXPECT_EQ(shots[0]->Image->GetName(), e.Right);
    EXPECT_EQ(shots[0]->X, e.RightX);
    if (level > 1) {
      EXPECT_EQ(shots[1]->X, e.LeftX);
    }
    for (TTamaSprite* s : shots) {
      EXPECT_EQ(s->Y, 384);
      EXPECT_EQ(s->Width, 15);  // the box of "PlayerTama1" whatever it wears
      EXPECT_EQ(s->ShotDamage, e.Damage);
      EXPECT_EQ(s->Penetration, e.Penetration);
    }
  }
}

TEST_F(PlayerSpriteTest, MovesInsideTheScreenFromEitherInput) {
  TPlayerSprite* p = Fighter();
  Hold(isLeft);
  Hold(isRight);
  Step();
  EXPECT_EQ(p->X, 288);
  Hold(isLeft, false);
  Step(50);
  EXPECT_EQ(p->X, 575);
  Hold(isRight, false);
  p->Y = 3;
  Hold(isUp);
  Step();
  EXPECT_EQ(p->Y, 0);
  // With the option off only the window's own key flags count.
  Form.OptionDirectInput->Checked = false;
  Form.KeyLeft = true;
  Step();
  EXPECT_EQ(p->X, 567);
  EXPECT_EQ(p->Y, 0);
}

TEST_F(PlayerSpriteTest, EachCallPressSendsOneSupportPlaneWhileAnyAreLeft) {
  Fighter();
  Form.SupportPlanes = 1;
  Hold(isButton2);
  Step();
  EXPECT_FALSE(Form.DXInput.ActiveStates.Has(isButton2));
  Hold(isButton2);
  Step();
  Form.SupportPlanes = 2;  // the press made while none were left is gone
  Step();
  ASSERT_EQ(All<TIssiki>().size(), 1u);
  // It sprays plasma every third step, turning 30 degrees a shot; past 360 starts at 0.
  EXPECT_EQ(SoundTicks("50cal", 39),
            (std::vector<int>{1, 4, 7, 10, 13, 16, 19, 22, 25, 28, 31, 34, 37}));
  EXPECT_EQ(All<TIssiki>()[0]->ShotAngle, 0);
  Form.OptionDirectInput->Checked = false;
  Form.KeyEnter = true;
  Step();
  EXPECT_FALSE(Form.KeyEnter);
  EXPECT_EQ(All<TIssiki>().size(), 2u);
  EXPECT_EQ(Form.SupportPlanes, 1);
}

TEST_F(PlayerSpriteTest, DamageOfExactlyOneHundredWrecksTheFighterAndEndsTheMission) {
  TPlayerSprite* p = Fighter();
  Form.Damage = 69;
  TEnemy* first = AddEnemy("F4F", 308, 404, 10, 30);
  Step();
  EXPECT_EQ(Form.Damage, 99);
  EXPECT_EQ(p->State, 0);
  EXPECT_EQ(first->HitPoints, -20);  // rammed for 30
  AddEnemy("F4F", 308, 404, 100, 1);
  Step();
  EXPECT_EQ(p->State, 1);
  EXPECT_EQ(p->Width, 100);
  EXPECT_EQ(p->X, 288);  // the blast grows right and down from the old corner
  EXPECT_FALSE(p->Collides);
  Step(13);
  EXPECT_EQ(p->State, 2);  // hidden 200 ms after the blast
  EXPECT_FALSE(p->Visible);
  Step(93);
  EXPECT_EQ(Form.PendingScene, ssNone);
  Step();
  EXPECT_EQ(Form.PendingScene, ssGameOver);
}

TEST_F(PlayerSpriteTest, ContactNeedsTheCentreStripExceptForShots) {
  TPlayerSprite* p = Fighter();
  // On the left wing only: a plane there misses the gate, a shot does not need it.
  TEnemy* plane = AddEnemy("30cal", 290, 414, 10, 20);
  Step();
  EXPECT_EQ(Form.Damage, 0);
  EXPECT_EQ(plane->HitPoints, 10);
  plane->Kill();
  auto* shot = new TEnemyTama(&Engine());
  shot->X = 290;
  shot->Y = 414;
  Step();
  EXPECT_EQ(Form.Damage, 1);
  // A shot and a plane at the centre in the same tick both count; a ship there never does.
  AddEnemy<TShip>("F4F", 308, 404, 100, 50);
  shot = new TEnemyTama(&Engine());
  shot->X = 320;
  shot->Y = 420;
  AddEnemy("F4F", 308, 404, 100, 20);
  Step();
  EXPECT_EQ(Form.Damage, 1 + 1 + 20);
  EXPECT_EQ(p->State, 0);
}

TEST_F(PlayerSpriteTest, AimsAtTheEscortedPlaneEvenWhenWreckedAndRemembersTheLastPoint) {
  TPlayerSprite* p = Fighter();
  p->X = 100.5;  // rounds to the even 100
  Step();
  EXPECT_EQ(p->AimPoint, (TPoint{132, 427}));
  auto* commander = new TImageSprite(&Engine());
  commander->SetImageSized(&GameImages().Find("Issiki_S"));
  commander->Y = 200;
  CommanderPlane = commander;
  Form.CommanderPresent = true;
  Form.Damage = 99;
  AddEnemy("F4F", 100, 404, 100, 5);
  Step(20);
  EXPECT_EQ(p->State, 2);
  EXPECT_EQ(p->AimPoint, (TPoint{50, 239}));
  delete p;
  EXPECT_EQ(PlayerSprite, nullptr);
  EXPECT_EQ(CurrentAimPoint(), (TPoint{50, 239}));
}

TEST_F(PlayerSpriteTest, TheMissionStartsWithAFreshFighterThatFliesAndFires) {
  Form.Damage = 50;
  Form.ShotPower = 6;
  Form.SetScene(ssPlay);
  ASSERT_NE(PlayerSprite, nullptr);
  EXPECT_EQ(Form.Damage, 0);
  EXPECT_EQ(Form.ShotPower, 1);
  const double x = PlayerSprite->X;
  Machine.Input.Keys['Z'] = true;
  Machine.Input.Keys[vk::Left] = true;
  for (int i = 0; i < 10; ++i) {
    Machine.System.Now += 16;
    Form.Idle();
  }
  EXPECT_EQ(Form.SceneState, ssPlay);
  EXPECT_EQ(PlayerSprite->X, x - 80);
  EXPECT_FALSE(All<TTamaSprite>().empty());
}

}  // namespace
}  // namespace velmora::test
