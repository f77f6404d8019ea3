// The enemy families by class name, for the scheduler and the mission file.
#pragma once

namespace velmora {

// Fighters, bombers, ships, the two boss vessels and their projectiles.
void RegisterEnemyClasses();

}  // namespace velmora
