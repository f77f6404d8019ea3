// velmora-sim's pilot (--auto), which plays the game through its record as a player would:
// taps Space on the screens that wait for a button; in play it holds fire, catches falling
// items and lines up under what matters most: the boss carrier's bridge or the battleship's
// hull, then any enemy holding the schedule, then the lowest aircraft or ship still ahead;
// it dodges what it cannot survive touching.
#pragma once

#include <vector>

#include "game/GameRecord.h"

namespace velmora {

class TEnemy;

class TAutoPilot {
 public:
  // The keys to hold for the coming tick.
  bool Space = false, Left = false, Right = false, Up = false, Down = false;

  void Step(const TGameRecord& game);

 private:
  void Steer(const TGameRecord& game);
  void Dodge(const std::vector<const TEnemy*>& threats);
};

}  // namespace velmora
