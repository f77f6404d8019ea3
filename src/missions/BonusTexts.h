// The briefings and closing texts of the bonus missions 6 to 11 and of the aircraft
// introduction 9999; false for any other mission.
#pragma once

#include <cstdint>

namespace velmora {

bool BuildBonusBriefing(int32_t mission);
bool BuildBonusClosing(int32_t mission);

}  // namespace velmora
