// Mission 5: the defence of the capital. Carrier fighters sweep ahead of three raids of
// four-engined bombers, a stream of fighters and homing interceptors grows longer the harder
// the setting, and the last raid brings the great bomber itself, which holds the schedule
// until it falls.
#include "engine/Random.h"
#include "game/GameRecord.h"
#include "missions/ListBuilders.h"
#include "missions/Missions.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

constexpr uint16_t kHeavyRaid = SF_ENEMYADV | SF_STOPADV | SF_HighPower;

// Carrier fighters over the coast, ahead of the first raid.
void Coast() {
  AddEvent(1, "BGM5", 1);
  AddGroup(135, "TEnemyF6F", 0, 0, 11);
  AddGroup(60, "TEnemyF6F", 0, 0, 12);
  AddEnemy(30, "TEnemyPBY", -40, 50, 0);
  AddEasyFlyingBoat();
  AddGroup(40, "TEnemyF6F", 0, 0, 13);
  AddGroup(40, "TEnemyP38", 100, 0, 15);
  AddGroup(30, "TEnemyP38", 380, 0, 15);
  AddEnemy(30, "TEnemyC47", 610, 100, 0);
  AddEasyTransport();
  AddGroup(40, "TEnemyF4F", 0, 0, 11);
  AddGroup(40, "TEnemyP38", 0, 0, 9);
  AddGroup(40, "TEnemyF6F", 0, 0, 2);
  AddBomberRaid(60, "TEnemyB17", -2, kHeavyRaid, {{120, -150}, {400, -300}});
}

// Over the mountains: fighters of every kind, and a second raid sweeping wide.
void Mountains() {
  AddGroup(90, "TEnemyF6F", 0, 0, 14);
  AddGroup(40, "TEnemyP38", 0, 0, 10);
  AddEnemy(30, "TEnemyPBY", -40, 80, 0, 1, SF_HighSpeed);
  AddEasyFlyingBoat();
  AddGroup(30, "TEnemyF6F", 0, 0, 0);
  AddGroup(30, "TEnemyP38", 200, 0, 15);
  AddGroup(30, "TEnemyF4F", 0, 0, 12);
  AddTransportUnlessDifficult(30);
  AddGroup(30, "TEnemyF6F", 0, 0, 6);
  AddGroup(40, "TEnemyP38", 0, 0, 3);
  AddGroup(0, "TEnemyP38", 0, 0, 4);
  AddEnemy(30, "TEnemyF4F", 600, 100, 5);
  AddEnemy(20, "TEnemyF4F", -40, 150, 6);
  AddGroup(30, "TEnemyF6F", 0, 0, 11);
  AddEnemy(30, "TEnemyC47", 610, 160, 0, 1, SF_HighSpeed);
  AddEasyTransport();
  AddGroup(30, "TEnemyP38", 0, 0, 8);
  AddGroup(40, "TEnemyF6F", 0, 0, 1);
  AddEnemy(30, "TEnemyPBY", -40, 50, 0);
  AddBomberRaid(60, "TEnemyB17", -1, kHeavyRaid | SF_WideMove, {{60, -200}, {460, -400}});
}

// The interceptors' stream: a line of carrier fighters after another, now and then a homing
// fighter out of a corner; the harder the setting, the longer it lasts.
void Stream() {
  AddGroup(90, "TEnemyF6F", 0, 0, 12);
  AddGroup(30, "TEnemyP38", 0, 0, 2);
  AddEnemy(30, "TEnemyC47", 610, 100, 0);
  for (int i = 0; i < 10 * Game->Difficulty; ++i) {
    AddGroup(30, "TEnemyF6F", Random(350), 0, 15);
    if (Random(4) == 0) AddHomingFighters(20, static_cast<TCorner>(Random(4)));
  }
}

// Near the capital: the last fighters and the third raid, without escort waves.
void Capital() {
  AddGroup(90, "TEnemyP38", 0, 0, 9);
  AddGroup(30, "TEnemyF6F", 0, 0, 7);
  AddEnemy(30, "TEnemyPBY", -40, 80, 0);
  AddEasyFlyingBoat();
  AddGroup(30, "TEnemyF6F", 60, 0, 15);
  AddGroup(30, "TEnemyF6F", 400, 0, 15);
  AddEnemy(30, "TEnemyC47", 610, 220, 0);
  AddEasyTransport();
  AddGroup(30, "TEnemyF6F", 0, 0, 9);
  AddGroup(30, "TEnemyP38", 240, 0, 15);
  AddGroup(30, "TEnemyP38", 0, 0, 8);
  AddEnemy(30, "TEnemyP38", 150, -60, 1);
  AddEnemy(20, "TEnemyP38", 450, -60, 1);
  AddEnemy(20, "TEnemyP38", 300, -60, 1);
  AddBomberRaid(60, "TEnemyB17", -1, SF_STOPADV | SF_HighPower | SF_WideMove,
                {{100, -150}, {420, -350}});
  AddGroup(90, "TEnemyP38", 0, 0, 3);
  AddGroup(0, "TEnemyP38", 0, 0, 4);
  AddEnemy(30, "TEnemyPBY", -40, 50, 0);
  AddEnemy(100, "TEnemyC47", 610, 100, 0);
}

// The great bomber. Only on the harder settings do reinforcements fly while it lives.
void GreatBomber() {
  AddBossApproach(100, "ボーイング Ｂ２９ 『超空の要塞』");
  const uint16_t flags = Game->Difficulty == 1 ? SF_STOPADV : SF_ENEMYADV | SF_STOPADV;
  AddEnemy(10, "TEnemyB29", 200, -300, 0, 1, flags);
}

}  // namespace

void BuildMission5() {
  Coast();
  Mountains();
  Stream();
  Capital();
  GreatBomber();
  AddSuccessSequence(200);
}

}  // namespace velmora
