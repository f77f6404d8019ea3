// The appearance list: every scene's schedule of what enters the field and when, the
// builders the mission lists are written with, the per-frame release of due records and
// the reinforcement waves that fly while a marked enemy lives.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Sprite.h"
#include "game/PlayState.h"
#include "sprites/SpriteClasses.h"

namespace velmora {

void ResetSchedule();
// Appends a record Delay frames after the previous one. Throws when no sprite class goes
// by that name.
void AddAppearance(int32_t delay, const std::string& spriteClass, int32_t x, int32_t y,
                   const std::string& text, int32_t param, int32_t level, uint16_t flags);
// Appends the members of one formation of the given type (-1 ... 16; others add nothing).
void AddFormation(int32_t delay, const std::string& spriteClass, int32_t x0, int32_t y0,
                  int32_t formationType, int32_t level);

// Releases the record due now, at most one per frame, into the game record's sprite engine.
void SpawnDue();
// Creates a sprite at once, outside the list, with no difficulty test.
TSprite* SpawnNow(const std::string& spriteClass, int32_t x, int32_t y, const std::string& text,
                  int32_t param, uint16_t flags);
void ReinforcementTick(int32_t trigger);

}  // namespace velmora
