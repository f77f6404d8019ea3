// The built-in schedules of every scene, by list number: -2 the title demonstration,
// -3N the briefing, -4N the title card, N the play list, -5N the closing texts and -888
// the game over (N being the mission number written after the prefix's digit).
#pragma once

#include <cstdint>

namespace velmora {

// Replaces the appearance list with list listNumber; numbers without a list leave it empty.
void BuildMission(int32_t listNumber);

// The number of a scene's list: "-" digit N read as one integer (-31, -310, -49999).
int32_t SceneListNumber(int digit, int32_t mission);

void BuildTitleDemonstration();
void BuildGameOver();
// These return false when the mission has no such list.
bool BuildBriefing(int32_t mission);
bool BuildTitleCard(int32_t mission);
bool BuildClosing(int32_t mission);
bool BuildPlayList(int32_t mission);

// Text records in the field's usual places, for the lists' own readability.
void AddText(int32_t delay, const char* text, int32_t style, int32_t x = 200, int32_t y = 450);
void AddEvent(int32_t delay, const char* text, int32_t kind);

}  // namespace velmora
