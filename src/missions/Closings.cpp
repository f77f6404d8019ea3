// The closing texts read after a mission is won.
#include <initializer_list>

#include "missions/Appearance.h"
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
    case 4:
      ClosingOfMission4();
      return true;
    case 5:
      ClosingOfMission5();
      return true;
    default:
      return false;
  }
}

}  // namespace velmora
