// The play lists by mission number.
#include "missions/Missions.h"

namespace velmora {

void BuildMission1();
void BuildMission2();
void BuildMission3();
void BuildMission4();
void BuildMission5();
void BuildAlienInvasion();
void BuildVoyage2001();
void BuildRukoExperiment();
void BuildVoyage3001();
void BuildRukoVersusApple();
void BuildLastDayOfTheEarth();
void BuildIntroduction();

// Numbers without a list leave the schedule empty.
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
    case 6:
      BuildAlienInvasion();
      return true;
    case 7:
      BuildVoyage2001();
      return true;
    case 8:
      BuildRukoExperiment();
      return true;
    case 9:
      BuildVoyage3001();
      return true;
    case 10:
      BuildRukoVersusApple();
      return true;
    case 11:
      BuildLastDayOfTheEarth();
      return true;
    case 9999:
      BuildIntroduction();
      return true;
    default:
      return false;
  }
}

}  // namespace velmora
