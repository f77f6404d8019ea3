// Mission 3: the battle for the island in the south. The enemy holds the airfield and the
// sky over the strait, so most of the mission is made of randomised stretches of navy
// fighters and twin-boomed army fighters that differ from one sortie to the next; bomber
// raids hold the advance between them, and at the end a landing force heads for the beach.
#include "engine/Random.h"
#include "missions/ListBuilders.h"
#include "missions/Missions.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

void Opening() {
  AddEvent(1, "BGM3", 1);
  AddGroup(200, "TEnemyF4F", 0, 0, 12);
  AddGroup(80, "TEnemyF6F", 0, 0, 11);
  AddGroup(80, "TEnemyF4F", 0, 0, 12);
  AddGroup(80, "TEnemyF6F", 0, 0, 11);
  AddEnemy(30, "TEnemyPBY", -40, 50, 0);
  AddEasyTransport();
  AddGroup(50, "TEnemyP38", 0, 0, 2);
  AddGroup(50, "TEnemyF4F", 0, 100, 5);
}

// Over the strait: a formation of some kind, a tracking dive and now and then a fighter
// cutting in from a side or a fast dive. Positions and kinds vary, the pace does not: the
// lines of four take 30 frames to come out, the others wait those 30 frames first.
void StraitBlock() {
  switch (Random(4)) {
    case 0:
      AddGroup(40, "TEnemyP38", Random(480), 0, 15);
      break;
    case 1:
      AddGroup(40, "TEnemyF6F", Random(480), 0, 15);
      break;
    case 2:
      AddGroup(10, "TEnemyF4F", -Random(100), 0, 12);
      break;
    default:
      AddGroup(10, "TEnemyF6F", Random(100), 0, 11);
      break;
  }
  AddEnemy(20, "TEnemyF4F", Random(600), -70, 1);
  if (Chance(2)) AddSideFighter(0, "TEnemyF6F", Random(2) == 0);
  if (Chance(4)) AddEnemy(0, "TEnemyP38", 100 + Random(440), -75, 4);
}

// Over the island itself; this block sets the pace of the mission, its delays vary with the
// formations drawn.
void IslandBlock() {
  const int r = Random(8);
  if (r == 0 || r == 2) AddGroup(15, "TEnemyF4F", -Random(100), 0, 12);
  if (r == 1 || r == 3) AddGroup(15, "TEnemyF6F", Random(100), 0, 11);
  AddEnemy(15, "TEnemyF4F", 180 + Random(320), -50, 2);
  AddEnemy(15, "TEnemyF6F", 180 + Random(320), -50, 3);
  AddEnemy(15, "TEnemyP38", 180 + Random(320), -50, 4);
  AddSideFighter(15, "TEnemyF4F", Random(2) == 0);
  if (Chance(3)) AddEnemy(10, "TEnemyP38", Random(640), -60, 1);
  // Difficult only: a pair crossing from both sides.
  const bool f4fLeft = Random(2) == 0;
  AddSideFighter(5, f4fLeft ? "TEnemyF4F" : "TEnemyF6F", true, 3);
  AddSideFighter(5, f4fLeft ? "TEnemyF6F" : "TEnemyF4F", false, 3);
  if (Chance(10)) AddEnemy(20, "TEnemyDestroyer", Random(600), -450, 0);
}

// The landing force's air cover: army fighters in threes, tracking dives, now and then a fighter
// from the side.
void CoverBlock() {
  AddGroup(30, "TEnemyP38", Random(480), 0, 15);
  AddEnemy(20, "TEnemyF4F", Random(600), -70, 1);
  if (Chance(2)) AddSideFighter(0, "TEnemyF6F", Random(2) == 0);
  AddEnemy(10, "TEnemyP38", Random(540), -75, 4, 3);
}

// The navy's last fighters over the beach.
void BeachBlock() {
  AddGroup(30, "TEnemyF4F", 60 + Random(420), 0, 15);
  AddSideFighter(20, "TEnemyF6F", Random(2) == 0);
  if (Chance(3)) AddEnemy(0, "TEnemyP38", Random(640), -60, 1);
  AddSideFighter(10, "TEnemyF4F", Random(2) == 0, 3);
}

// Between the strait and the island: the first dive-bomber pair, a destroyer and the
// transports that difficult goes without.
void Airfield() {
  AddEnemy(60, "TEnemyDestroyer", 120, -450, 0);
  AddTransportUnlessDifficult(30);
  AddGroup(30, "TEnemyP38", 0, 0, 3);
  AddGroup(0, "TEnemyF6F", 0, 0, 4);
  AddEnemy(30, "TEnemyPBY", -40, 80, 0, 1, SF_HighSpeed);
  AddTransportUnlessDifficult(30, 610, 180);
  AddBomberRaid(60, "TEnemySBD", -2, SF_STOPADV, {{140, -100}, {400, -250}});
  AddGroup(90, "TEnemyP38", 0, 0, 13);
  AddEnemy(30, "TEnemyDestroyer", 480, -450, 0);
  AddEnemy(20, "TEnemyC47", 610, 160, 0, 1, SF_HighSpeed);
  AddBomberRaid(60, "TEnemyB26", -1, SF_ENEMYADV | SF_STOPADV, {{120, -150}, {420, -350}});
}

// After the island: light bombers again, a dive-bomber raid of three and the last
// transports before the music fades.
void Harbour() {
  AddEnemy(60, "TEnemyDestroyer", 300, -450, 0);
  AddTransportUnlessDifficult(30);
  AddGroup(30, "TEnemyF6F", 0, 0, 14);
  AddEnemy(20, "TEnemyPBY", -40, 50, 0);
  AddBomberRaid(60, "TEnemyB26", -2, SF_STOPADV, {{100, -100}, {440, -300}});
  AddGroup(90, "TEnemyP38", 200, 0, 9);
  AddTransportUnlessDifficult(30);
  AddEnemy(20, "TEnemyC47", 610, 220, 0, 1, SF_HighSpeed);
  AddBomberRaid(60, "TEnemySBD", -1, SF_ENEMYADV | SF_STOPADV,
                {{80, -100}, {300, -300}, {500, -500}});
  AddEnemy(90, "TEnemyPBY", -40, 120, 0);
  // A last transport flies out over a quiet sea before the music fades.
  AddTransportUnlessDifficult(20);
}

// Eleven landing craft in a column 30 px apart, entering at the right edge and drifting
// down towards the beach at the lower left.
void LandingWave(int32_t delay, const char* cls) {
  for (int i = 0; i < 11; ++i)
    AddEnemy(i == 0 ? delay : 0, cls, 640, 30 * i, 0);
}

// No single boss: the music fades as for one, a wingman sights the landing force, and its
// waves come in between the last of the air cover.
void LandingForce() {
  AddBossMusic();
  AddText(50, "僚機：敵上陸部隊を発見！", 3);
  LandingWave(50, "TEnemyLCI");
  Repeat(11, CoverBlock);
  LandingWave(30, "TEnemyLSM");
  LandingWave(150, "TEnemyLCI");
  Repeat(11, BeachBlock);
  LandingWave(30, "TEnemyLSM");
  AddText(340, "僚機：上陸部隊の撃退を確認、帰投する！", 3);
}

}  // namespace

void BuildMission3() {
  Opening();
  Repeat(21, StraitBlock);
  Airfield();
  Repeat(16, IslandBlock);
  Harbour();
  LandingForce();
  AddSuccessSequence(150);
}

}  // namespace velmora
