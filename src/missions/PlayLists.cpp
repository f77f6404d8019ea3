// The play lists by mission number.
#include "missions/Missions.h"

namespace velmora {

void BuildMission1();
void BuildMission2();
void BuildMission3();
void BuildMission4();
void BuildMission5();

// Mission numbers without a list of their own yet have none.
bool BuildPlayList(int32_t mission) {
  switch (mission) {
    case 1:
      BuildMission1();
      return true;
    case 2:
      BuildMission2();
      return true;
    case 3:
      BuildMission3();
      return true;
    case 4:
      BuildMission4();
      return true;
    case 5:
      BuildMission5();
      return true;
    default:
      return false;
  }
}

}  // namespace velmora
