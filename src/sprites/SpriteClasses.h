// Sprite classes by name, for the scheduler and the mission file: each name maps to a
// function that creates the sprite under a parent.
#pragma once

#include <string>

#include "engine/Sprite.h"

namespace velmora {

// A later registration under the same name replaces the earlier one.
void RegisterSpriteClass(const std::string& name, TSpriteFactory factory);
// Exact, case-sensitive; nullptr when no class has that name.
TSpriteFactory FindSpriteClass(const std::string& name);

// The fighter, its shots and items, the enemy base, enemy shots and the support plane.
void RegisterPlayerSideClasses();

}  // namespace velmora
