// Mission 1: the dawn raid on the island's fleet anchorage. Navy fighters meet the strike
// over the sea, the army's interceptors climb from the airfields, two dive-bomber raids and a
// light-bomber raid hold the advance, and a carrier caught at sea closes the day.
#include <initializer_list>
#include <string>
#include <utility>

#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "shell/MainForm.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

// One aircraft or ship on its own; the lists write "nil" where no text is needed.
void Enemy(int32_t delay, const char* cls, int32_t x, int32_t y, int32_t pattern, int32_t level = 1,
           uint16_t flags = 0) {
  AddAppearance(delay, cls, x, y, "nil", pattern, level, flags);
}

void Formation(int32_t delay, const char* cls, int32_t x0, int32_t y0, int32_t type) {
  AddFormation(delay, cls, x0, y0, type, 1);
}

// The easy setting gets extra item carriers, each 30 frames after the record before it, so
// the whole schedule runs longer there.
void EasyTransport(bool easy) {
  if (easy) Enemy(30, "TEnemyC47", 610, 100, 0);
}
void EasyFlyingBoat(bool easy) {
  if (easy) Enemy(30, "TEnemyPBY", -40, 50, 0);
}

// Bombers come in together (delay 0 after the first) so that the whole raid is out before
// the first of them stops the clock.
void BomberRaid(int32_t delay, const char* cls, int32_t pattern, uint16_t flags,
                std::initializer_list<std::pair<int32_t, int32_t>> at) {
  bool first = true;
  for (const auto& [x, y] : at) {
    Enemy(first ? delay : 0, cls, x, y, pattern, 1, flags);
    first = false;
  }
}

void Opening(bool easy) {
  AddEvent(1, "BGM1", 1);
  Formation(200, "TEnemyF4F", 0, 0, 11);
  Formation(80, "TEnemyF4F", 0, 0, 12);
  Formation(80, "TEnemyF4F", 0, 0, 11);
  Formation(80, "TEnemyF4F", 0, 0, 12);
  Enemy(30, "TEnemyPBY", -40, 50, 0);
  EasyFlyingBoat(easy);
  Formation(50, "TEnemyF4F", 0, 0, 5);
  Formation(50, "TEnemyF4F", 0, 100, 5);
  Formation(50, "TEnemyF4F", 0, 200, 5);
}

// The army's interceptors climb from the airfields; the first destroyers leave the harbour
// mouth and the first dive-bomber pair stands over the strike.
void Airfields(bool easy) {
  Formation(90, "TEnemyP40", 0, 0, 2);
  Formation(40, "TEnemyP39", 0, 0, 0);
  Formation(20, "TEnemyP39", 0, 0, 1);
  Enemy(20, "TEnemyC47", 610, 100, 0);
  EasyFlyingBoat(easy);
  Formation(30, "TEnemyP36", 200, 0, 6);
  Formation(40, "TEnemyP40", -200, 0, 7);
  Formation(40, "TEnemyP39", 60, 0, 9);
  Formation(30, "TEnemyP39", 340, 0, 9);
  Formation(50, "TEnemyP38", 240, 0, 15);
  Enemy(30, "TEnemyDestroyer", 80, -450, 0);
  Enemy(20, "TEnemyDestroyer", 460, -450, 0, 3);
  // Columns at both edges at once: the middle is the only way through.
  Formation(40, "TEnemyP40", 0, 0, 3);
  Formation(0, "TEnemyP40", 0, 0, 4);
  Formation(40, "TEnemyP36", 0, 0, 2);
  BomberRaid(60, "TEnemySBD", -2, SF_STOPADV, {{120, -100}, {420, -250}});
}

// Over the anchorage: navy lines sweep the whole width, single-file columns dive, and a
// raid of three dive bombers brings the reinforcements up with it.
void Anchorage(bool easy, bool difficult) {
  Formation(90, "TEnemyF4F", 0, 0, 13);
  Formation(30, "TEnemyP39", 0, 0, 2);
  Formation(30, "TEnemyP39", 300, 0, 6);
  Enemy(30, "TEnemyPBY", -40, 50, 0, 1, SF_HighSpeed);
  Formation(30, "TEnemyP36", -160, 0, 7);
  Formation(40, "TEnemyP38", 300, 0, 8);
  Formation(0, "TEnemyP39", 100, 0, 10);
  // Difficult loses this repair carrier and the 30 frames it waits.
  if (!difficult) Enemy(30, "TEnemyC47", 610, 100, 0);
  Formation(20, "TEnemyF4F", 0, 0, 14);
  Enemy(20, "TEnemyDestroyer", 300, -450, 0);
  Enemy(20, "TEnemyDestroyer", 40, -450, 0, 3);
  Formation(30, "TEnemyP40", 0, 0, 0);
  Formation(20, "TEnemyP39", 520, 0, 8);
  Formation(20, "TEnemyP38", 40, 0, 15);
  Enemy(30, "TEnemyP38", 400, -60, 1);
  Enemy(20, "TEnemyC47", 610, 160, 0, 1, SF_HighSpeed);
  EasyTransport(easy);
  Formation(30, "TEnemyP39", 0, 0, 1);
  Formation(30, "TEnemyP36", 200, 0, 9);
  BomberRaid(60, "TEnemySBD", -1, SF_ENEMYADV | SF_STOPADV, {{80, -100}, {300, -300}, {500, -500}});
}

// The last defenders before the carrier is sighted, and a light-bomber raid from the
// island's bomber field.
void LastStand(bool easy, bool difficult) {
  Formation(90, "TEnemyP38", 0, 0, 2);
  Formation(30, "TEnemyP39", 0, 0, 0);
  Formation(20, "TEnemyF4F", 0, 0, 11);
  Formation(0, "TEnemyF4F", 0, 0, 12);
  Enemy(20, "TEnemyPBY", -40, 80, 0);
  EasyFlyingBoat(easy);
  Formation(30, "TEnemyP36", 300, 0, 6);
  Formation(40, "TEnemyP38", 200, 0, 9);
  Formation(30, "TEnemyP39", -250, 0, 7);
  if (!difficult) Enemy(30, "TEnemyC47", 610, 100, 0);
  Enemy(10, "TEnemyDestroyer", 200, -450, 0);
  Enemy(20, "TEnemyDestroyer", 480, -450, 0, 3);
  Formation(30, "TEnemyP38", 0, 0, 3);
  Formation(0, "TEnemyP38", 0, 0, 4);
  Formation(30, "TEnemyP39", 0, 0, 2);
  Enemy(20, "TEnemyC47", 610, 220, 0, 1, SF_HighSpeed);
  BomberRaid(60, "TEnemyB26", -2, SF_ENEMYADV | SF_STOPADV,
             {{100, -150}, {330, -350}, {520, -500}});
  Formation(90, "TEnemyP38", 240, 0, 15);
  Formation(40, "TEnemyP39", 100, 0, 6);
  Enemy(30, "TEnemyPBY", -40, 50, 0);
  Formation(50, "TEnemyP39", 0, 0, 1);
  // A last transport flies out over a quiet sea before the music fades.
  Enemy(100, "TEnemyC47", 610, 100, 0);
}

// The music fades, the boss theme starts, the caption names the ship and the carrier holds
// the schedule until it goes down.
void Carrier() {
  AddEvent(25, "DOWN500", 1);
  AddEvent(25, "DOWN1000", 1);
  AddEvent(25, "DOWN1500", 1);
  AddEvent(25, "DOWN2000", 1);
  AddEvent(25, "DOWN2500", 1);
  AddEvent(25, "STOP", 1);
  AddEvent(100, "BOSS", 1);
  AddText(300, "ＵＳＳ 航空母艦 エンタープライズ", 3);
  Enemy(10, "TEnemyEnterprise", -600, 25, 0, 1, SF_STOPADV);
}

void Success(int32_t difficulty) {
  AddText(200, "作戦成功", -1, 200, 180);
  const std::string bonus = "難易度ボーナス（" + std::to_string(difficulty * 10000) + "）加算";
  AddText(100, bonus.c_str(), 3);
  AddEvent(50, "nil", 6);
  AddText(150, "損傷率ボーナス（残り損傷率×20）加算", 3);
  AddEvent(50, "nil", 7);
  AddEvent(150, "nil", 3);
}

}  // namespace

void BuildMission1() {
  const int32_t difficulty = MainForm->Difficulty;
  const bool easy = difficulty == 1;
  const bool difficult = difficulty == 3;
  Opening(easy);
  Airfields(easy);
  Anchorage(easy, difficult);
  LastStand(easy, difficult);
  Carrier();
  Success(difficulty);
}

}  // namespace velmora
