// The game's own text scrambler: the campaign progress in the settings file and the
// ranking's check values pass through it. It works on bytes, so Shift-JIS text survives.
#pragma once

#include <string>
#include <string_view>

namespace velmora {

class ISystem;

// Re-seeds the program's random generator from the clock and scrambles with one of ten
// keys. Two scrambles in a row never use the same key, so they never give the same text.
std::string ScrambleText(std::string_view text, ISystem& clock);
// The key chosen explicitly (100 ... 109); what ScrambleText does after picking one.
std::string ScrambleTextWithKey(std::string_view text, int key);
// The inverse. Throws std::runtime_error when the text cannot have come from ScrambleText
// (a character outside the table, a group that is not a number), so a hand-edited value
// is noticed rather than read as something else.
std::string UnscrambleText(std::string_view text);

}  // namespace velmora
