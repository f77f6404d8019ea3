#include "sprites/PlayerShots.h"

#include <gtest/gtest.h>

#include "sprites/Effects.h"
#include "sprites/EnemyShots.h"
#include "sprites/PlayField.h"

namespace velmora::test {
namespace {

class TCarrier : public TPatternEnemy {
 public:
  using TPatternEnemy::TPatternEnemy;
  const char* ClassName() const override { return "TEnemyEnterprise"; }
};

// Stands in for the battleship: records what its zone test was asked.
class TBattleship : public TPatternEnemy {
 public:
  using TPatternEnemy::TPatternEnemy;
  const char* ClassName() const override { return "TEnemyMissouri"; }
  bool TestZoneHit(TSprite&, int32_t power) override {
    Asked.push_back(power);
    return Answer;
  }
  std::vector<int> Asked;
  bool Answer = false;
};

class PlayerShotsTest : public PlayField {
 protected:
  // Shots that stay where they are put.
  TTamaSprite* GunShot(double x, double y, int penetration) {
    auto* s = new TTamaSprite(&Engine());
    s->Climb = 1;
    s->X = x;
    s->Y = y;
    s->Penetration = penetration;
    return s;
  }
  TFriendTamaSprite* Plasma(double x, double y) {
    auto* s = new TFriendTamaSprite(&Engine());
    s->ShotMode = 3;
    s->X = x;
    s->Y = y;
    return s;
  }
};

TEST_F(PlayerShotsTest, PenetrationDecidesWhetherAShotSurvivesAHit) {
  TEnemy* five = AddEnemy("F4F", 100, 100, 1000, 5);
  TTamaSprite* shot = GunShot(120, 120, 5);
  Step();
  EXPECT_EQ(five->HitPoints, 998);
  EXPECT_EQ(shot->Penetration, 0);
  Form.SpriteEngine.Move(kTickMs);  // still there: it strikes again and is spent
  EXPECT_EQ(five->HitPoints, 996);
  EXPECT_TRUE(shot->Dying());
  Form.SpriteEngine.Dead();
  ASSERT_EQ(All<TExplosion>().size(), 1u);  // the small flash
  EXPECT_EQ(All<TExplosion>()[0]->Image->GetName(), "Explosion_S");

  TEnemy* six = AddEnemy("F4F", 300, 100, 1000, 6);
  GunShot(320, 120, 5);
  Step();
  EXPECT_EQ(six->HitPoints, 998);
  EXPECT_TRUE(All<TTamaSprite>().empty());
}

TEST_F(PlayerShotsTest, GunShotsPassThroughEnemyShotsThatPlasmaStrikes) {
  auto* bullet = new TEnemyTama(&Engine());
  bullet->X = 200;
  bullet->Y = 200;
  bullet->Power = 3;
  TTamaSprite* gun = GunShot(195, 190, 5);
  Step();
  EXPECT_TRUE(bullet->Collides);
  EXPECT_EQ(gun->Penetration, 5);
  gun->Kill();
  TFriendTamaSprite* plasma = Plasma(190, 190);
  Step();
  EXPECT_EQ(bullet->State, 1);  // ricocheting
  EXPECT_EQ(plasma->Penetration, 27);
}

TEST_F(PlayerShotsTest, CarrierStripAndBattleshipZonesDecideHits) {
  TCarrier* carrier = AddEnemy<TCarrier>("Missouri", 0.4, 100, 1500, 50);
  GunShot(100, 110, 100);
  Plasma(100, 110);
  Step();
  EXPECT_EQ(carrier->HitPoints, 1500);
  GunShot(300, 95, 100);  // its lower corners lie in the deck strip (249, 103) - (382, 118)
  Step();
  EXPECT_EQ(carrier->HitPoints, 1498);
  Engine().Clear();

  TBattleship* ship = AddEnemy<TBattleship>("Missouri", 0, 100, 1000, 50);
  TTamaSprite* gun = GunShot(100, 120, 45);
  gun->ShotDamage = 8;
  Step();
  EXPECT_EQ(ship->Asked, (std::vector<int>{8}));
  EXPECT_EQ(ship->HitPoints, 1000);  // no plain hit
  EXPECT_EQ(gun->Penetration, 45);
  ship->Answer = true;
  TFriendTamaSprite* plasma = Plasma(100, 120);
  plasma->Penetration = 60;
  Step();
  EXPECT_EQ(plasma->Penetration, 10);
  EXPECT_EQ(All<TTamaSprite>().size(), 0u);  // 45 - 50 < 0
}

TEST_F(PlayerShotsTest, ItemsRepairAndPowerTheFighterOnlyOnPickUp) {
  new TPlayerSprite(&Engine());
  auto drop = [this](int kind, double x, double y) {
    auto* item = new TItemSprite(&Engine());
    item->ItemKind = kind;
    item->X = x;
    item->Y = y;
  };
  Form.Damage = 4;
  drop(0, 310, 400);
  Step();
  EXPECT_EQ(Form.Damage, 0);
  Form.ShotPower = 8;
  drop(1, 310, 400);
  Step();
  EXPECT_EQ(Form.ShotPower, 8);
  EXPECT_EQ(Plays("GetItem"), 2);
  EXPECT_TRUE(All<TItemSprite>().empty());
  Form.ShotPower = 3;
  drop(1, 310, 400);
  drop(0, 10, 477.8);  // off the bottom away from the fighter
  Form.Damage = 50;
  Step();
  EXPECT_EQ(Form.ShotPower, 4);
  EXPECT_EQ(Form.Damage, 50);
  EXPECT_TRUE(All<TItemSprite>().empty());
}

}  // namespace
}  // namespace velmora::test
