// Mission 4: the escort. The commander flies out to inspect the front line in a slow
// bomber, and the player keeps formation above it. The enemy knows the route: fighters
// come from ahead in waves, homing fighters fall on the formation from the rear quarters,
// and a long stretch of twin-boom fighters tests the escort before the landing. There is
// no boss; the mission is won when the commander's plane arrives, and its damage counts
// in the final bonus.
#include "engine/Random.h"
#include "game/GameRecord.h"
#include "missions/Appearance.h"
#include "missions/ListBuilders.h"
#include "missions/Missions.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

// The fighter takes off alone and clears the sky before the commander's plane joins it.
void Rendezvous() {
  AddEvent(1, "BGM4", 1);
  AddGroup(150, "TEnemyF4F", 0, 0, 11);
  AddGroup(60, "TEnemyF4F", 0, 0, 12);
  AddEasyTransport();
  AddGroup(60, "TEnemyF6F", 0, 0, 1);
  AddEnemy(40, "TEnemyPBY", -40, 50, 0);
  AddEasyFlyingBoat();
  AddGroup(40, "TEnemyP38", 0, 0, 9);
  AddEnemy(80, "TCyoukanIssiki", 100, -100, 0);
  AddText(20, "長官機：これより前線視察に向かう。護衛を頼むぞ。", 3);
}

// The first leg: fighters from ahead, then the first attack from behind.
void FirstLeg() {
  AddGroup(150, "TEnemyF6F", 0, 0, 11);
  AddGroup(60, "TEnemyF6F", 0, 0, 12);
  AddGroup(60, "TEnemyP38", 0, 0, 10);
  AddEnemy(40, "TEnemyC47", 610, 100, 0);
  AddGroup(40, "TEnemyP38", 100, 0, 15);
  AddGroup(30, "TEnemyP38", 400, 0, 15);
  AddGroup(40, "TEnemyF4F", 0, 0, 1);
  AddRearAttack(80, "僚機：右後方より敵機接近！", TCorner::LowerRight);
  AddGroup(90, "TEnemyP38", 0, 0, 2);
  AddTransportUnlessDifficult(30);
  AddGroup(40, "TEnemyF6F", 0, 0, 13);
  AddGroup(40, "TEnemyP38", 200, 0, 15);
  AddEnemy(40, "TEnemyP38", 300, -60, 1);
  AddEnemy(20, "TEnemyF4F", 600, 100, 5);
  AddEnemy(20, "TEnemyF4F", -40, 160, 6);
}

// Over the islands: the enemy's airfields are near and the fighters come from every side.
void Islands() {
  AddGroup(90, "TEnemyP38", 0, 0, 8);
  AddGroup(30, "TEnemyF6F", 0, 0, 14);
  AddEnemy(30, "TEnemyC47", 610, 160, 0, 1, SF_HighSpeed);
  AddEasyTransport();
  AddGroup(40, "TEnemyP38", 0, 0, 6);
  AddGroup(30, "TEnemyP38", 60, 0, 15);
  AddGroup(30, "TEnemyF4F", 0, 0, 5);
  AddRearAttack(80, "僚機：左後方より敵機！　長官機を守れ！", TCorner::LowerLeft);
  AddGroup(90, "TEnemyP38", 0, 0, 7);
  AddGroup(40, "TEnemyP38", 500, 0, 8);
  AddTransportUnlessDifficult(30);
  AddGroup(30, "TEnemyP38", 0, 0, 2);
  AddGroup(40, "TEnemyP38", 0, 0, 9);
  AddGroup(30, "TEnemyP38", 280, 0, 15);
  AddEnemy(40, "TEnemyPBY", -40, 80, 0, 1, SF_HighSpeed);
  AddGroup(40, "TEnemyP38", 0, 0, 10);
  AddGroup(40, "TEnemyP38", 0, 0, 3);
  AddGroup(0, "TEnemyP38", 0, 0, 4);
  AddRearAttack(90, "僚機：右後方、また敵機だ！", TCorner::LowerRight);
  AddGroup(90, "TEnemyF6F", 0, 0, 11);
  AddGroup(40, "TEnemyP38", 180, 0, 15);
  AddGroup(30, "TEnemyP38", 420, 0, 15);
  AddTransportUnlessDifficult(30);
  AddGroup(40, "TEnemyP38", 0, 0, 9);
  AddEnemy(30, "TEnemyP38", 120, -60, 1);
  AddEnemy(20, "TEnemyP38", 500, -60, 1);
  AddEnemy(30, "TEnemyC47", 610, 220, 0);
}

// The last stretch: a steady stream of twin-boom fighters. Each wave waits until the last
// has had its time, so the leg keeps one pace whatever the draws.
void FighterStream() {
  AddText(90, "僚機：前方に敵戦闘機の大編隊！", 3);
  constexpr int32_t kPace = 100;
  int32_t extra = 0;  // the frames the last wave's formations took
  for (int i = 0; i < 40; ++i) {
    AddEnemy((i == 0 ? 60 : kPace - extra) + Random(4), "TEnemyP38", Random(600), -60, 1);
    const int32_t released = ScheduleTotal;
    if (Random(2) == 0) AddGroup(10, "TEnemyP38", Random(480), 0, 15);
    if (Random(4) == 0) AddGroup(10, "TEnemyP38", Random(600), 0, 8);
    extra = ScheduleTotal - released;
  }
  // The last of the stream keeps the pace too.
  AddEnemy(kPace - extra + 50, "TEnemyP38", 300, -60, 1);
}

// The commander's plane reaches the airfield.
void Landing() {
  AddText(210, "長官機：目的地上空に到着した。諸君、ご苦労であった。", 3);
  AddSuccessSequence(0, true);
}

}  // namespace

void BuildMission4() {
  // No support bombers on an escort flight.
  Game->SupportPlanes = 0;
  Rendezvous();
  FirstLeg();
  Islands();
  FighterStream();
  Landing();
}

}  // namespace velmora
