// The names the menus give the game's own missions and the difficulties, for the 戦績
// window to call them the same.
#pragma once

#include <cstdint>

namespace velmora {

constexpr int32_t kIntroductionMission = 9999;
// The list number a mission file of the player's own plays under.
constexpr int32_t kUserMission = 55555555;

// "" for a list number that is no mission of the menus.
constexpr const char* MissionCaption(int32_t mission) {
  switch (mission) {
    case 1:
      return "真珠湾攻撃（１面）";
    case 2:
      return "ミッドウェー沖海戦（２面）";
    case 3:
      return "ガ島攻防戦（３面）";
    case 4:
      return "長官護衛作戦（４面）";
    case 5:
      return "大本営の危機（５面）";
    case 6:
      return "激闘！！エイリアン大侵略クソゲー９８年秋";
    case 7:
      return "２００１年宇宙の旅";
    case 8:
      return "ルコ！！世紀の大実験９８夏";
    case 9:
      return "３００１年宇宙の旅";
    case 10:
      return "死闘！！　ルコｖｓ林檎";
    case 11:
      return "地球最後の日";
    case kIntroductionMission:
      return "機体紹介";
    default:
      return "";
  }
}

constexpr const char* DifficultyCaption(int32_t difficulty) {
  return difficulty == 1 ? "簡単" : difficulty == 3 ? "困難" : "普通";
}

}  // namespace velmora
