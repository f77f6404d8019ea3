#include "missions/Missions.h"

#include <string>
#include <utility>

#include "game/GameRecord.h"
#include "missions/Appearance.h"
#include "missions/MissionFile.h"

namespace velmora {

int32_t SceneListNumber(int digit, int32_t mission) {
  return std::stoi("-" + std::to_string(digit) + std::to_string(mission));
}

void AddText(int32_t delay, const char* text, int32_t style, int32_t x, int32_t y) {
  AddAppearance(delay, "TMojiSprite", x, y, text, style, 1, 0);
}

void AddEvent(int32_t delay, const char* text, int32_t kind) {
  AddAppearance(delay, "TEventSprite", 0, 0, text, kind, 1, 0);
}

namespace {

// The mission numbers that have scenes of their own: the campaign, the bonus missions and
// the aircraft introduction.
constexpr int32_t kMissions[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 9999};

// The player's own mission: its file plays, and its siblings fill the screens around it.
constexpr int32_t kUserMission = 55555555;

}  // namespace

void BuildMission(int32_t listNumber) {
  ResetSchedule();
  if (listNumber == -2) return BuildTitleDemonstration();
  if (listNumber == -888) return BuildGameOver();
  if (listNumber == kUserMission) return LoadMissionFile(Game->CustomMissionFile);
  static const std::pair<int32_t, const char*> kUserScreens[] = {
      {SceneListNumber(3, kUserMission), ".bfg"},
      {SceneListNumber(4, kUserMission), ".tle"},
      {SceneListNumber(5, kUserMission), ".edg"}};
  for (const auto& [number, extension] : kUserScreens)
    if (listNumber == number)
      return LoadMissionFile(MissionSiblingPath(Game->CustomMissionFile, extension));
  if (listNumber > 0) {
    BuildPlayList(listNumber);
    return;
  }
  for (int32_t mission : kMissions) {
    if (listNumber == SceneListNumber(3, mission)) BuildBriefing(mission);
    if (listNumber == SceneListNumber(4, mission)) BuildTitleCard(mission);
    if (listNumber == SceneListNumber(5, mission)) BuildClosing(mission);
  }
}

}  // namespace velmora
