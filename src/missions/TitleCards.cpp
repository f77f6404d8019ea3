// The title card shown between a briefing and its mission.
#include "missions/Missions.h"

namespace velmora {

bool BuildTitleCard(int32_t mission) {
  const char* title = nullptr;
  switch (mission) {
    case 1:
      title = "真珠湾攻撃";
      break;
    case 2:
      title = "ミッドウェー沖海戦";
      break;
    case 3:
      title = "ガ島攻防戦";
      break;
    case 4:
      title = "長官護衛作戦";
      break;
    case 5:
      title = "大本営の危機";
      break;
    case 6:
      title = "苦情は受け付けません";
      break;
    case 7:
      title = "２００１年宇宙の旅";
      break;
    case 8:
      title = "ルコの末路";
      break;
    case 9:
      title = "３００１年宇宙の旅";
      break;
    case 10:
      title = "ルコvs林檎";
      break;
    case 11:
      title = "地球最後の日";
      break;
    case 9999:
      title = "機体紹介";
      break;
    default:
      return false;
  }
  AddText(1, title, -1, 200, 100);
  return true;
}

}  // namespace velmora
