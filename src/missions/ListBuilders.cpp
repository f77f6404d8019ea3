#include "missions/ListBuilders.h"

#include <string>

#include "engine/Random.h"
#include "game/GameRecord.h"
#include "missions/Appearance.h"
#include "missions/Missions.h"

namespace velmora {

void AddEnemy(int32_t delay, const char* cls, int32_t x, int32_t y, int32_t pattern, int32_t level,
              uint16_t flags) {
  AddAppearance(delay, cls, x, y, "nil", pattern, level, flags);
}

void AddGroup(int32_t delay, const char* cls, int32_t x0, int32_t y0, int32_t formationType,
              int32_t level) {
  AddFormation(delay, cls, x0, y0, formationType, level);
}

void AddBomberRaid(int32_t delay, const char* cls, int32_t pattern, uint16_t flags,
                   std::initializer_list<std::pair<int32_t, int32_t>> at) {
  bool first = true;
  for (const auto& [x, y] : at) {
    AddEnemy(first ? delay : 0, cls, x, y, pattern, 1, flags);
    first = false;
  }
}

void AddEasyTransport() {
  if (Game->Difficulty == 1) AddEnemy(30, "TEnemyC47", 610, 100, 0);
}

void AddEasyFlyingBoat() {
  if (Game->Difficulty == 1) AddEnemy(30, "TEnemyPBY", -40, 50, 0);
}

void AddTransportUnlessDifficult(int32_t delay, int32_t x, int32_t y) {
  if (Game->Difficulty != 3) AddEnemy(delay, "TEnemyC47", x, y, 0);
}

void AddBossMusic() {
  for (const char* step : {"DOWN500", "DOWN1000", "DOWN1500", "DOWN2000", "DOWN2500", "STOP"})
    AddEvent(25, step, 1);
  AddEvent(100, "BOSS", 1);
}

void AddBossApproach(int32_t captionDelay, const char* caption) {
  AddBossMusic();
  AddText(captionDelay, caption, 3);
}

void AddSuccessSequence(int32_t firstDelay, bool commanderBonus) {
  AddText(firstDelay, "作戦成功", -1, 200, 180);
  // The text is fixed when the list is built, with the difficulty of that moment.
  const std::string bonus =
      "難易度ボーナス（" + std::to_string(Game->Difficulty * 10000) + "）加算";
  AddText(100, bonus.c_str(), 3);
  AddEvent(50, "nil", 6);
  AddText(150, "損傷率ボーナス（残り損傷率×20）加算", 3);
  AddEvent(50, "nil", 7);
  if (commanderBonus) {
    AddText(150, "長官機損傷率ボーナス（残り損傷率×50）加算", 3);
    AddEvent(50, "nil", 8);
  }
  AddEvent(150, "nil", 3);
}

void AddHomingFighters(int32_t delay, TCorner from, int count, int32_t level, int32_t spacing) {
  struct TStart {
    int32_t X, Y, OutX, OutY;  // the point, and how far each next fighter starts beyond it
  };
  static constexpr TStart kStarts[] = {
      {750, 600, 30, 20}, {-100, 200, -30, 40}, {-50, -200, -30, -20}, {-50, 600, -30, 20}};
  const TStart& s = kStarts[static_cast<int>(from)];
  for (int i = 0; i < count; ++i)
    AddEnemy(i == 0 ? delay : spacing, "TEnemyF4F_S", s.X + i * s.OutX, s.Y + i * s.OutY, 0, level);
}

void AddSideFighter(int32_t delay, const char* cls, bool fromLeft, int32_t level) {
  AddEnemy(delay, cls, fromLeft ? -40 : 600, Random(250), fromLeft ? 6 : 5, level);
}

bool Chance(int n) {
  return Random(n) == 0;
}

void Repeat(int times, const std::function<void()>& block) {
  for (int i = 0; i < times; ++i)
    block();
}

void AddRearAttack(int32_t delay, const char* warning, TCorner from) {
  AddText(delay, warning, 3);
  AddHomingFighters(30, from, 3, 1, 10);
}

}  // namespace velmora
