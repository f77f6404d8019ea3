// The closing texts read after a mission is won.
#include <initializer_list>

#include "missions/Appearance.h"
#include "missions/BonusTexts.h"
#include "missions/Missions.h"
#include "sprites/SpawnFlags.h"

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

void ClosingOfMission4() {
  AddText(10, "1943年４月１８日　昼", 1);
  AddText(100, "長官機は無事、前線の飛行場に滑り込んだ。", 2);
  AddText(50, "降り立った長官は護衛の戦闘機隊を見上げ、", 2);
  AddText(50, "静かに帽子を振って応えたという。", 2);
  AddText(90, "待ち伏せていた敵機は、ことごとく追い払われた。", 2);
  AddText(50, "もしも護衛が破られていたら――", 2);
  AddText(50, "それを口にする者は、誰一人いなかった。", 2);
  AddText(90, "しかし戦局は、日を追うごとに厳しさを増してゆく。", 2);
  AddText(50, "次に貴官を待つのは、故国の空での戦いである。", 2);
  AddText(120, "スペースキーを押して下さい", 4);
}

// One page of the finale: the screen fades and is cleared, and the page's lines appear in
// the same frame.
struct TPageLine {
  const char* Text;
  int32_t Style;
  int32_t Y;
};

void EndPage(int32_t delay, std::initializer_list<TPageLine> lines) {
  AddEvent(delay, "nil", 5);
  for (const TPageLine& line : lines)
    AddText(0, line.Text, line.Style, 200, line.Y);
}

// A great bomber of the finale, climbing across the text and gone off the top.
void EndingBomber(int32_t delay, int32_t x, int32_t y) {
  AddAppearance(delay, "TEnemyB29", x, y, "nil", 0, 1, SF_ENDINGOBJ);
}

void ClosingOfMission5() {
  AddText(10, "1945年３月　某日", 1);
  AddText(100, "巨大な敵重爆は炎に包まれ、", 2);
  AddText(50, "帝都を目前にして海へと墜ちていった。", 2);
  AddText(50, "大本営の危機は、かろうじて去った。", 2);
  EndingBomber(60, 170, 480);
  AddText(90, "だが、喜ぶ者はいなかった。", 2);
  AddText(50, "水平線の彼方には、", 2);
  AddText(50, "なお数え切れぬほどの敵機が待っている。", 2);
  EndingBomber(20, 10, 700);
  EndingBomber(0, 330, 700);
  AddText(90, "それでも貴官は、", 2);
  AddText(50, "今日もまた空へ上がってゆく。", 2);
  AddText(50, "守るべきものが、そこにある限り。", 2);
  EndingBomber(40, 170, 700);

  EndPage(350, {{"次回作　鋭意製作中！？", -1, 120}, {"舞台はさらに広い空へ――", -2, 200}});
  EndPage(150, {{"この物語はフィクションです。", -1, 140},
                {"実在の人物・団体・事件とは一切関係ありません。", -2, 220}});
  EndPage(120, {{"Velmora", -1, 180}});
  EndPage(150, {{"スタッフ", -1, 80},
                {"企画・プログラム", -2, 160},
                {"グラフィック・サウンド", -2, 200},
                {"Velmora チーム", -1, 280}});
  EndPage(150, {{"最後まで遊んでいただき", -1, 150}, {"ありがとうございました。", -1, 210}});
  EndPage(120, {{"ＴＨＥ ＥＮＤ", -1, 200}, {"スペースキーを押して下さい", -2, 380}});
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
    case 4:
      ClosingOfMission4();
      return true;
    case 5:
      ClosingOfMission5();
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
