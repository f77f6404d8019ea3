// Mission 2: the strike on the atoll in the middle of the ocean. The carrier's fighters meet
// the strike over open sea, the army's fighters climb from the island's airstrip, torpedo and
// dive bombers come for the fleet, homing fighters fall on the strike from behind, and a
// battleship steaming to the atoll's relief closes the day.
#include "game/GameRecord.h"
#include "missions/ListBuilders.h"
#include "missions/Missions.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

void Opening() {
  AddEvent(1, "BGM2", 1);
  AddGroup(200, "TEnemyF6F", 0, 0, 11);
  AddGroup(80, "TEnemyF6F", 0, 0, 12);
  AddGroup(80, "TEnemyF6F", 0, 0, 11);
  AddGroup(80, "TEnemyF6F", 0, 0, 12);
  AddEnemy(30, "TEnemyPBY", -40, 50, 0);
  AddEasyFlyingBoat();
  AddGroup(50, "TEnemyP40", 0, 0, 5);
  AddGroup(50, "TEnemyP40", 0, 150, 5);
}

// The army's fighters climb from the island's airstrip; the first homing fighters close in
// from behind, the screen's destroyers come up, and a torpedo raid hovers over the strike.
void Airstrip() {
  AddGroup(160, "TEnemyP40", 0, 0, 2);
  AddGroup(40, "TEnemyP39", 0, 0, 0);
  AddGroup(20, "TEnemyP39", 0, 0, 1);
  AddEnemy(20, "TEnemyC47", 610, 100, 0);
  AddEasyTransport();
  AddGroup(40, "TEnemyP38", 240, 0, 15);
  AddGroup(40, "TEnemyP40", 200, 0, 6);
  AddGroup(40, "TEnemyP40", -200, 0, 7);
  AddHomingFighters(40, TCorner::LowerRight, 2);
  AddHomingFighters(20, TCorner::LowerLeft, 2, 3);
  AddEnemy(40, "TEnemyDestroyer", 100, -450, 0);
  AddEnemy(20, "TEnemyDestroyer", 500, -450, 0, 3);
  AddGroup(40, "TEnemyP39", 60, 0, 9);
  AddGroup(40, "TEnemyP38", 300, 0, 8);
  // Columns at both edges at once: the middle is the only way through.
  AddGroup(40, "TEnemyP40", 0, 0, 3);
  AddGroup(0, "TEnemyP40", 0, 0, 4);
  AddBomberRaid(80, "TEnemyTBM", -2, SF_STOPADV, {{100, -100}, {300, -250}, {480, -400}});
}

// The carrier's second wave: navy lines sweeping the whole width, a storm of single army
// fighters diving one after another, and a dive-bomber raid that brings the reinforcements.
void CarrierStrike() {
  AddGroup(160, "TEnemyF6F", 0, 0, 13);
  AddGroup(40, "TEnemyF4F", 0, 0, 14);
  AddEnemy(40, "TEnemyPBY", -40, 80, 0, 1, SF_HighSpeed);
  AddHomingFighters(40, TCorner::UpperLeft, 3);
  AddHomingFighters(20, TCorner::Left, 2, 3);
  AddGroup(40, "TEnemyP40", 0, 0, 16);
  AddGroup(40, "TEnemyP39", 300, 0, 6);
  // Difficult loses this repair carrier and the 30 frames it waits.
  AddTransportUnlessDifficult(30);
  AddGroup(40, "TEnemyF6F", 60, 0, 9);
  AddGroup(40, "TEnemyP38", 0, 0, 2);
  AddEnemy(20, "TEnemyDestroyer", 300, -450, 0);
  AddEnemy(20, "TEnemyDestroyer", 40, -450, 0, 3);
  AddGroup(40, "TEnemyP40", 0, 0, 0);
  AddGroup(20, "TEnemyP39", 520, 0, 8);
  AddEnemy(20, "TEnemyC47", 610, 160, 0, 1, SF_HighSpeed);
  AddGroup(40, "TEnemyF4F", 0, 0, 12);
  AddGroup(0, "TEnemyF4F", 0, 0, 11);
  AddBomberRaid(80, "TEnemySBD", -1, SF_ENEMYADV | SF_STOPADV,
                {{80, -100}, {300, -300}, {500, -500}});
}

// Over the enemy's screen: every kind of fighter at once, homing fighters from the rear
// quarters again, and the second torpedo raid.
void Screen() {
  AddGroup(160, "TEnemyP38", 0, 0, 2);
  AddGroup(40, "TEnemyP39", 0, 0, 0);
  AddGroup(20, "TEnemyF6F", 0, 0, 14);
  AddEnemy(20, "TEnemyPBY", -40, 50, 0);
  AddGroup(40, "TEnemyP39", -250, 0, 7);
  AddGroup(40, "TEnemyP38", 200, 0, 9);
  AddTransportUnlessDifficult(30);
  AddHomingFighters(20, TCorner::LowerRight, 3);
  AddHomingFighters(20, TCorner::LowerLeft, 3, 3);
  AddEnemy(10, "TEnemyDestroyer", 200, -450, 0);
  AddEnemy(20, "TEnemyDestroyer", 480, -450, 0, 3);
  AddGroup(40, "TEnemyP38", 0, 0, 3);
  AddGroup(0, "TEnemyP38", 0, 0, 4);
  AddGroup(40, "TEnemyP39", 0, 0, 2);
  AddEnemy(20, "TEnemyC47", 610, 220, 0, 1, SF_HighSpeed);
  AddBomberRaid(80, "TEnemyTBM", -1, SF_ENEMYADV | SF_STOPADV,
                {{100, -150}, {330, -350}, {520, -500}});
}

// The last air cover of the relief force before the battleship is sighted.
void LastCover() {
  AddGroup(160, "TEnemyP38", 240, 0, 15);
  AddGroup(40, "TEnemyF6F", 100, 0, 6);
  AddGroup(40, "TEnemyP39", 0, 0, 1);
  AddGroup(40, "TEnemyF6F", -200, 0, 7);
  AddGroup(40, "TEnemyP40", 0, 0, 2);
  AddHomingFighters(40, TCorner::Left, 2);
  AddHomingFighters(0, TCorner::UpperLeft, 3, 3);
  AddEnemy(40, "TEnemyPBY", -40, 120, 0);
  AddGroup(40, "TEnemyF4F", 0, 0, 11);
  AddGroup(0, "TEnemyF4F", 0, 0, 12);
  AddEnemy(40, "TEnemyC47", 610, 80, 0, 1, SF_HighSpeed);
  AddGroup(40, "TEnemyP38", 120, 0, 9);
  AddEnemy(20, "TEnemyP40", 150, -60, 1);
  AddEnemy(10, "TEnemyP40", 450, -60, 1);
  AddGroup(40, "TEnemyF6F", 200, 0, 15);
  AddGroup(40, "TEnemyF6F", 0, 0, 12);
  AddEnemy(20, "TEnemyC47", 610, 180, 0, 1, SF_HighSpeed);
  AddHomingFighters(40, TCorner::LowerRight, 2);
  AddEnemy(20, "TEnemyP38", 300, -60, 1);
  AddEnemy(20, "TEnemyP38", 100, -60, 1);
  AddEnemy(40, "TEnemyC47", 610, 260, 0, 1, SF_HighSpeed);
  // A last transport flies out over a quiet sea before the music fades.
  AddEnemy(135, "TEnemyC47", 610, 100, 0);
}

// The music fades, the boss theme starts, the caption names the ship and the battleship
// holds the schedule until it goes down; on the harder settings the island's fighters keep
// coming while it fights.
void Battleship() {
  AddBossApproach(300, "ＵＳＳ 戦艦 ミズーリ");
  const uint16_t flags = Game->Difficulty == 1 ? SF_STOPADV : SF_ENEMYADV | SF_STOPADV;
  AddEnemy(10, "TEnemyMissouri", 700, 10, 0, 1, flags);
}

}  // namespace

void BuildMission2() {
  Opening();
  Airstrip();
  CarrierStrike();
  Screen();
  LastCover();
  Battleship();
  AddSuccessSequence(200);
}

}  // namespace velmora
