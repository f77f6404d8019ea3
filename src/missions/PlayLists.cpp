// The play lists by mission number.
#include "missions/Missions.h"

namespace velmora {

void BuildMission1();
void BuildAlienInvasion();
void BuildVoyage2001();
void BuildRukoExperiment();
void BuildVoyage3001();
void BuildRukoVersusApple();
void BuildLastDayOfTheEarth();
void BuildIntroduction();

// Mission numbers without a list of their own yet have none.
bool BuildPlayList(int32_t mission) {
  switch (mission) {
    case 1:
      BuildMission1();
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
