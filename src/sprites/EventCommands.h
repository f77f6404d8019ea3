// What an event sprite's text must be for the game to act on it: a scroll speed, or a music
// command. Both the event sprites and the mission-file checker ask.
#pragma once

#include <cstdint>
#include <string>

namespace velmora {

// A scroll speed from an event's text: a whole decimal number and nothing else, so that a
// typing slip in a schedule fails loudly instead of scrolling at some half-read speed.
// Throws std::runtime_error otherwise.
int32_t ParseEventInteger(const std::string& text);
// Whether an event's text is a music command the game knows: NONE, STOP, the fades
// DOWN500 ... DOWN2500, and the tunes BGM1 ... BGM5 and BOSS.
bool IsMusicCommand(const std::string& text);

}  // namespace velmora
