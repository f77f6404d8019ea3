// The closing texts read after a mission is won.
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

void ClosingOfMission2() {
  AddText(10, "1942年６月５日　日没", 1);
  AddText(100, "敵戦艦は炎に包まれ、ゆっくりと波間に姿を消した。", 2);
  AddText(50, "島の上空からも、敵機はついに一掃された。", 2);
  AddText(50, "攻撃隊は傷つきながらも、母艦へ帰り着いた。", 2);
  AddText(90, "だが、その日の戦いで失ったものも大きかった。", 2);
  AddText(50, "還らぬ機は多く、艦隊もまた深い傷を負った。", 2);
  AddText(50, "甲板に立つ者の顔に、笑みはなかった。", 2);
  AddText(90, "戦いの潮目は、静かに変わりつつあった。", 2);
  AddText(50, "敵は驚くべき速さで、失った艦と機を補っている。", 2);
  AddText(90, "次なる戦場は、遥か南の島。", 2);
  AddText(50, "機動部隊は傷ついた艦を従え、", 2);
  AddText(50, "南の海へと針路を取った。", 2);
  AddText(120, "スペースキーを押して下さい", 4);
}

void ClosingOfMission3() {
  AddText(10, "1942年８月８日　夕刻", 1);
  AddText(100, "敵の上陸用舟艇は、海峡の波間に次々と沈んでいった。", 2);
  AddText(50, "島へ向かう敵の増援は、ひとまず断たれたのである。", 2);
  AddText(90, "しかし、島の飛行場は依然として敵の手にある。", 2);
  AddText(50, "この島を巡る戦いは、まだ始まったばかりだった。", 2);
  AddText(50, "基地へ戻る機上から、貴官は暮れてゆく島影を見下ろしていた。", 2);
  AddText(90, "戦線は広がり、補給は日ごとに細っていく。", 2);
  AddText(50, "前線の兵士たちは、飢えと病にも苦しみ始めていた。", 2);
  AddText(90, "そんな折、司令部から一通の命令が届いた。", 2);
  AddText(50, "長官機の護衛。", 2);
  AddText(50, "前線の将兵を励ますため、長官自ら視察に赴くという。", 2);
  AddText(50, "次の任務は、これまでとは違う重みを持っていた。", 2);
  AddText(120, "スペースキーを押して下さい", 4);
}

}  // namespace

bool BuildClosing(int32_t mission) {
  switch (mission) {
    case 1:
      ClosingOfMission1();
      return true;
    case 2:
      ClosingOfMission2();
      return true;
    case 3:
      ClosingOfMission3();
      return true;
    default:
      return false;
  }
}

}  // namespace velmora
