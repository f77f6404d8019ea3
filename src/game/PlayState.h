// The play state that lives beside the game record rather than in it: the current scene's
// schedule, the reinforcement cycle, the planes of the player's side that enemies look for,
// and the runner's invulnerable mode. They are program-wide so that the mission-file reader
// and the fuzzers can build a schedule with no game running; TGameRecord resets them, in one
// place, at a scene change and for a new game.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/Sprite.h"
#include "engine/Types.h"

namespace velmora {

class TPlayerSprite;

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

// The fighter now flying, or nullptr.
extern TPlayerSprite* PlayerSprite;
// Where the last fighter aimed when it went; enemies keep aiming there until the next flies.
extern TPoint LastAimPoint;
// The escorted commander's plane while one exists; its class sets this on creation and clears
// it when freed. While the game record's CommanderPresent is set the aim point follows it.
extern TImageSprite* CommanderPlane;

// Set by the headless runner's invulnerable mode: contacts still add to the damage, but never
// up to the end of the fighter or of the escorted plane within one tick.
extern bool PlayerHeldAlive;
extern bool CommanderHeldAlive;

}  // namespace velmora
