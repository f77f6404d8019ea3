// The closing texts read after a mission is won.
#include "missions/BonusTexts.h"
#include "missions/Missions.h"

namespace velmora {

namespace {

void ClosingOfMission1() {
  AddText(10, "1941年12月８日　夕刻", 1);
  AddText(100, "攻撃隊は湾内の艦艇と飛行場に", 2);
  AddText(50, "大きな打撃を与え、相次いで母艦へ帰り着いた。", 2);
  AddText(50, "敵空母撃沈の報は、たちまち全艦に伝えられた。", 2);
  AddText(90, "だが、沸き立つ甲板の片隅では、", 2);
  AddText(50, "還らなかった僚機の名が静かに読み上げられていた。", 2);
  AddText(50, "貴官は黙って、暮れてゆく海を見つめていた。", 2);
  AddText(90, "開戦の報は、その日のうちに世界を駆けめぐった。", 2);
  AddText(50, "長く苦しい戦いの幕が、いま上がったのである。", 2);
  AddText(90, "次なる戦場は、遥か東の海の上。", 2);
  AddText(50, "機動部隊は新たな戦いに備え、", 2);
  AddText(50, "夜の海へ静かに針路を転じた。", 2);
  AddText(120, "スペースキーを押して下さい", 4);
}

}  // namespace

bool BuildClosing(int32_t mission) {
  switch (mission) {
    case 1:
      ClosingOfMission1();
      return true;
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 9999:
      return BuildBonusClosing(mission);
    default:
      return false;
  }
}

}  // namespace velmora
