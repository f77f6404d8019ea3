// Mission 1: the dawn raid on the island's fleet anchorage. Navy fighters meet the strike
// over the sea, the army's interceptors climb from the airfields, two dive-bomber raids and a
// light-bomber raid hold the advance, and a carrier caught at sea closes the day.
#include "missions/ListBuilders.h"
#include "missions/Missions.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

void Opening() {
  AddEvent(1, "BGM1", 1);
  AddGroup(200, "TEnemyF4F", 0, 0, 11);
  AddGroup(80, "TEnemyF4F", 0, 0, 12);
  AddGroup(80, "TEnemyF4F", 0, 0, 11);
  AddGroup(80, "TEnemyF4F", 0, 0, 12);
  AddEnemy(30, "TEnemyPBY", -40, 50, 0);
  AddEasyFlyingBoat();
  AddGroup(50, "TEnemyF4F", 0, 0, 5);
  AddGroup(50, "TEnemyF4F", 0, 100, 5);
  AddGroup(50, "TEnemyF4F", 0, 200, 5);
}

// The army's interceptors climb from the airfields; the first destroyers leave the harbour
// mouth and the first dive-bomber pair stands over the strike.
void Airfields() {
  AddGroup(90, "TEnemyP40", 0, 0, 2);
  AddGroup(40, "TEnemyP39", 0, 0, 0);
  AddGroup(20, "TEnemyP39", 0, 0, 1);
  AddEnemy(20, "TEnemyC47", 610, 100, 0);
  AddEasyFlyingBoat();
  AddGroup(30, "TEnemyP36", 200, 0, 6);
  AddGroup(40, "TEnemyP40", -200, 0, 7);
  AddGroup(40, "TEnemyP39", 60, 0, 9);
  AddGroup(30, "TEnemyP39", 340, 0, 9);
  AddGroup(50, "TEnemyP38", 240, 0, 15);
  AddEnemy(30, "TEnemyDestroyer", 80, -450, 0);
  AddEnemy(20, "TEnemyDestroyer", 460, -450, 0, 3);
  // Columns at both edges at once: the middle is the only way through.
  AddGroup(40, "TEnemyP40", 0, 0, 3);
  AddGroup(0, "TEnemyP40", 0, 0, 4);
  AddGroup(40, "TEnemyP36", 0, 0, 2);
  AddBomberRaid(60, "TEnemySBD", -2, SF_STOPADV, {{120, -100}, {420, -250}});
}

// Over the anchorage: navy lines sweep the whole width, single-file columns dive, and a
// raid of three dive bombers brings the reinforcements up with it.
void Anchorage() {
  AddGroup(90, "TEnemyF4F", 0, 0, 13);
  AddGroup(30, "TEnemyP39", 0, 0, 2);
  AddGroup(30, "TEnemyP39", 300, 0, 6);
  AddEnemy(30, "TEnemyPBY", -40, 50, 0, 1, SF_HighSpeed);
  AddGroup(30, "TEnemyP36", -160, 0, 7);
  AddGroup(40, "TEnemyP38", 300, 0, 8);
  AddGroup(0, "TEnemyP39", 100, 0, 10);
  // Difficult loses this repair carrier and the 30 frames it waits.
  AddTransportUnlessDifficult(30);
  AddGroup(20, "TEnemyF4F", 0, 0, 14);
  AddEnemy(20, "TEnemyDestroyer", 300, -450, 0);
  AddEnemy(20, "TEnemyDestroyer", 40, -450, 0, 3);
  AddGroup(30, "TEnemyP40", 0, 0, 0);
  AddGroup(20, "TEnemyP39", 520, 0, 8);
  AddGroup(20, "TEnemyP38", 40, 0, 15);
  AddEnemy(30, "TEnemyP38", 400, -60, 1);
  AddEnemy(20, "TEnemyC47", 610, 160, 0, 1, SF_HighSpeed);
  AddEasyTransport();
  AddGroup(30, "TEnemyP39", 0, 0, 1);
  AddGroup(30, "TEnemyP36", 200, 0, 9);
  AddBomberRaid(60, "TEnemySBD", -1, SF_ENEMYADV | SF_STOPADV,
                {{80, -100}, {300, -300}, {500, -500}});
}

// The last defenders before the carrier is sighted, and a light-bomber raid from the
// island's bomber field.
void LastStand() {
  AddGroup(90, "TEnemyP38", 0, 0, 2);
  AddGroup(30, "TEnemyP39", 0, 0, 0);
  AddGroup(20, "TEnemyF4F", 0, 0, 11);
  AddGroup(0, "TEnemyF4F", 0, 0, 12);
  AddEnemy(20, "TEnemyPBY", -40, 80, 0);
  AddEasyFlyingBoat();
  AddGroup(30, "TEnemyP36", 300, 0, 6);
  AddGroup(40, "TEnemyP38", 200, 0, 9);
  AddGroup(30, "TEnemyP39", -250, 0, 7);
  AddTransportUnlessDifficult(30);
  AddEnemy(10, "TEnemyDestroyer", 200, -450, 0);
  AddEnemy(20, "TEnemyDestroyer", 480, -450, 0, 3);
  AddGroup(30, "TEnemyP38", 0, 0, 3);
  AddGroup(0, "TEnemyP38", 0, 0, 4);
  AddGroup(30, "TEnemyP39", 0, 0, 2);
  AddEnemy(20, "TEnemyC47", 610, 220, 0, 1, SF_HighSpeed);
  AddBomberRaid(60, "TEnemyB26", -2, SF_ENEMYADV | SF_STOPADV,
                {{100, -150}, {330, -350}, {520, -500}});
  AddGroup(90, "TEnemyP38", 240, 0, 15);
  AddGroup(40, "TEnemyP39", 100, 0, 6);
  AddEnemy(30, "TEnemyPBY", -40, 50, 0);
  AddGroup(50, "TEnemyP39", 0, 0, 1);
  // A last transport flies out over a quiet sea before the music fades.
  AddEnemy(100, "TEnemyC47", 610, 100, 0);
}

// The music fades, the boss theme starts, the caption names the ship and the carrier holds
// the schedule until it goes down.
void Carrier() {
  AddBossApproach(300, "ＵＳＳ 航空母艦 エンタープライズ");
  AddEnemy(10, "TEnemyEnterprise", -600, 25, 0, 1, SF_STOPADV);
}

}  // namespace

void BuildMission1() {
  Opening();
  Airfields();
  Anchorage();
  LastStand();
  Carrier();
  AddSuccessSequence(200);
}

}  // namespace velmora
