// The briefings read before each mission.
#include "missions/BonusTexts.h"
#include "missions/Missions.h"

namespace velmora {

namespace {

void BriefingOfMission1() {
  AddText(10, "1941年12月８日　早朝", 1);
  AddText(100, "オアフ島北方、二百三十浬。", 2);
  AddText(50, "機動部隊は、ついに発艦地点に達した。", 2);
  AddText(50, "第一次攻撃隊は、すでに母艦を飛び立っている。", 2);
  AddText(90, "貴官の任務は、攻撃隊に先行して", 2);
  AddText(50, "島の上空に上がる敵戦闘機を掃討することにある。", 2);
  AddText(50, "敵は異変に気付き、迎撃機を次々と上げつつある。", 2);
  AddText(50, "飛行艇や輸送機の動きにも目を配れ。", 2);
  AddText(90, "なお、付近の海上に敵空母が行動中との報がある。", 2);
  AddText(50, "発見した場合は、全力をもってこれを撃沈せよ。", 2);
  AddText(90, "燃料にも弾薬にも限りがある。", 2);
  AddText(50, "深追いはせず、必ず生きて還れ。", 2);
  AddText(50, "諸君の武運を祈る。", 2);
  AddText(120, "スペースキーを押して下さい", 4);
}

}  // namespace

bool BuildBriefing(int32_t mission) {
  switch (mission) {
    case 1:
      BriefingOfMission1();
      return true;
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 9999:
      return BuildBonusBriefing(mission);
    default:
      return false;
  }
}

}  // namespace velmora
