// The building blocks the play lists of the campaign are written with: single aircraft and
// ships, formations, bomber raids, the passages for one difficulty only, the boss approach
// with its music and the success sequence with its bonuses.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>

namespace velmora {

// One aircraft or ship on its own; the lists write "nil" where no text is needed.
void AddEnemy(int32_t delay, const char* cls, int32_t x, int32_t y, int32_t pattern,
              int32_t level = 1, uint16_t flags = 0);
void AddGroup(int32_t delay, const char* cls, int32_t x0, int32_t y0, int32_t formationType,
              int32_t level = 1);

// Bombers come in together (delay 0 after the first) so that the whole raid is out before
// the first of them stops the clock.
void AddBomberRaid(int32_t delay, const char* cls, int32_t pattern, uint16_t flags,
                   std::initializer_list<std::pair<int32_t, int32_t>> at);

// The easy setting gets extra item carriers, each 30 frames after the record before it, so
// the whole schedule runs longer there.
void AddEasyTransport();
void AddEasyFlyingBoat();
// A transport that the difficult setting leaves out, with the frames it waits.
void AddTransportUnlessDifficult(int32_t delay, int32_t x = 610, int32_t y = 100);

// The tune fades in five steps, stops, and the boss theme starts 100 frames later.
void AddBossMusic();
// The music, then the caption naming the boss captionDelay frames after "BOSS"; the caller
// adds the boss itself.
void AddBossApproach(int32_t captionDelay, const char* caption);

// "作戦成功" firstDelay frames after the record before it, then the difficulty and damage
// bonuses (and the commander's, in the escort mission) and the end of the mission.
void AddSuccessSequence(int32_t firstDelay, bool commanderBonus = false);

// Homing fighters start from points off the screen's corners and the left edge, so they
// come at the player from behind or from the flank rather than from ahead.
enum class TCorner { LowerRight, Left, UpperLeft, LowerLeft };
// count of them from one point, 15 frames apart, each one a little further out than the
// one before so that they do not fly as one.
void AddHomingFighters(int32_t delay, TCorner from, int count = 1, int32_t level = 1,
                       int32_t spacing = 15);

// A fighter cutting in diagonally at a height of 0 ... 249: from the left (x -40) it flies
// down to the right, from the right (x 600) down to the left.
void AddSideFighter(int32_t delay, const char* cls, bool fromLeft, int32_t level = 1);

// Chance(n): true once in n draws; the randomised stretches make their choices with it while
// the list is built, so the schedule is fixed once the scene starts.
bool Chance(int n);
// A randomised stretch: the block written out times times, each with draws of its own.
void Repeat(int times, const std::function<void()>& block);

// A radio warning, then three homing fighters out of one corner 30 frames later, 10 frames
// apart.
void AddRearAttack(int32_t delay, const char* warning, TCorner from);

}  // namespace velmora
