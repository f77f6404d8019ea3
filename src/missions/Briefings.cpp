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

void BriefingOfMission2() {
  AddText(10, "1942年６月５日　未明", 1);
  AddText(100, "ミッドウェー島北西、二百四十浬。", 2);
  AddText(50, "機動部隊は、島の攻略を目前にしている。", 2);
  AddText(50, "だが敵は、我が方の動きを察知しているらしい。", 2);
  AddText(90, "貴官の任務は、攻撃隊の先頭に立ち、", 2);
  AddText(50, "島の上空に待ち受ける敵戦闘機を排除することにある。", 2);
  AddText(50, "島を発した雷撃機と爆撃機が、艦隊を狙っている。", 2);
  AddText(50, "背後から食らいつく敵機にも、決して油断するな。", 2);
  AddText(90, "さらに、救援の敵戦艦が島へ急行中との報が入った。", 2);
  AddText(50, "その主砲は、艦隊にとって大きな脅威となる。", 2);
  AddText(50, "必ずこれを捕捉し、撃沈せよ。", 2);
  AddText(90, "この一戦が、戦争の行方を左右すると心得よ。", 2);
  AddText(50, "諸君の健闘を祈る。", 2);
  AddText(120, "スペースキーを押して下さい", 4);
}

void BriefingOfMission3() {
  AddText(10, "1942年８月８日　早朝", 1);
  AddText(100, "ソロモン諸島、ガダルカナル島。", 2);
  AddText(50, "昨日、敵の大部隊が突如としてこの島に上陸し、", 2);
  AddText(50, "我が軍が建設中の飛行場を奪い取った。", 2);
  AddText(90, "敵はいま、さらに兵員と物資を送り込もうとしている。", 2);
  AddText(50, "貴官の任務は、島へ通じる海峡の上空を制圧し、", 2);
  AddText(50, "後続の敵上陸部隊を発見、これを撃滅することにある。", 2);
  AddText(90, "奪われた飛行場からは、敵戦闘機が絶え間なく上がってくる。", 2);
  AddText(50, "敵の出方は読みにくい。臨機応変に戦え。", 2);
  AddText(50, "爆撃機の編隊にも注意を怠るな。", 2);
  AddText(90, "この島を失えば、南方の戦線は崩れかねない。", 2);
  AddText(50, "基地からは遠く、燃料には限りがある。", 2);
  AddText(50, "必ず生きて還れ。", 2);
  AddText(50, "諸君の武運を祈る。", 2);
  AddText(120, "スペースキーを押して下さい", 4);
}

void BriefingOfMission4() {
  AddText(10, "1943年４月１８日　早朝", 1);
  AddText(100, "前線将兵の士気を鼓舞するため、", 2);
  AddText(50, "艦隊司令長官が自ら最前線の基地を視察することになった。", 2);
  AddText(50, "長官機は一式陸攻、その護衛が貴官の任務である。", 2);
  AddText(90, "だが、視察の日程を記した電文が", 2);
  AddText(50, "敵に傍受されたとの噂が絶えない。", 2);
  AddText(50, "敵戦闘機の待ち伏せは、十分に考えられる。", 2);
  AddText(90, "常に長官機の上空に付き、", 2);
  AddText(50, "いかなる敵機も近づけてはならない。", 2);
  AddText(50, "とりわけ後方からの奇襲には、くれぐれも注意せよ。", 2);
  AddText(90, "長官機を失えば、それは作戦の失敗を意味する。", 2);
  AddText(50, "長官の命は、貴官の腕に懸かっている。", 2);
  AddText(50, "諸君の武運を祈る。", 2);
  AddText(120, "スペースキーを押して下さい", 4);
}

void BriefingOfMission5() {
  AddText(10, "1945年３月　某日", 1);
  AddText(100, "本土の空に、ついに敵の超重爆撃機が現れた。", 2);
  AddText(50, "その狙いは帝都、そして大本営そのものである。", 2);
  AddText(90, "迎撃に上がれる機体は、もはや数えるほどしかない。", 2);
  AddText(50, "貴官の隊こそが、帝都を守る最後の盾である。", 2);
  AddText(90, "敵の新型重爆は、これまでのどの爆撃機よりも大きく、堅い。", 2);
  AddText(50, "臆するな。必ずや帝都の空から叩き落とせ。", 2);
  AddText(50, "これが、最後の出撃となるかもしれない。", 2);
  AddText(120, "スペースキーを押して下さい", 4);
}

}  // namespace

bool BuildBriefing(int32_t mission) {
  switch (mission) {
    case 1:
      BriefingOfMission1();
      return true;
    case 2:
      BriefingOfMission2();
      return true;
    case 3:
      BriefingOfMission3();
      return true;
    case 4:
      BriefingOfMission4();
      return true;
    case 5:
      BriefingOfMission5();
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
