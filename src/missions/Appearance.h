// The appearance list: every scene's schedule of what enters the field and when, the
// builders the mission lists are written with, the per-frame release of due records and
// the reinforcement waves that fly while a marked enemy lives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Sprite.h"
#include "sprites/SpriteClasses.h"

namespace velmora {

// One appearance record.
struct TObjectAdvent {
  int32_t Time = 0;  // scene frame at or after which it is due
  TSpriteFactory SpriteClass = nullptr;
  std::string ClassName;  // the name SpriteClass was found under
  int32_t X = 0;
  int32_t Y = 0;
  std::string Text;
  int32_t Param = 0;  // text style, event kind or enemy pattern
  int32_t Level = 1;  // lowest difficulty that produces the sprite
  uint16_t Flags = 0;
};

// The current scene's schedule, in the order it was written, and the builder's running time.
extern std::vector<TObjectAdvent> AppearanceList;
extern int32_t ScheduleTotal;

// Reinforcement waves. The timer and step outlive scenes and missions on purpose: a cycle
// cut short by one mission's end goes on in the next.
extern int32_t ReinforcementPeriod;
extern int32_t ReinforcementTimer;
extern int32_t ReinforcementStep;

void ResetSchedule();
// Appends a record Delay frames after the previous one. Throws when no sprite class goes
// by that name.
void AddAppearance(int32_t delay, const std::string& spriteClass, int32_t x, int32_t y,
                   const std::string& text, int32_t param, int32_t level, uint16_t flags);
// Appends the members of one formation of the given type (-1 ... 16; others add nothing).
void AddFormation(int32_t delay, const std::string& spriteClass, int32_t x0, int32_t y0,
                  int32_t formationType, int32_t level);

// Releases the record due now, at most one per frame, into MainForm's sprite engine.
void SpawnDue();
// Creates a sprite at once, outside the list, with no difficulty test.
TSprite* SpawnNow(const std::string& spriteClass, int32_t x, int32_t y, const std::string& text,
                  int32_t param, uint16_t flags);
void ReinforcementTick(int32_t trigger);

}  // namespace velmora
