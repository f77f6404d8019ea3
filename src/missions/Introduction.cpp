// The aircraft introduction: each type the player meets is named by a caption and flies a
// short demonstration 50 frames later. The bombers hold the clock until they are shot down,
// so the player gets to try each of them.
#include "missions/Appearance.h"
#include "missions/ListBuilders.h"
#include "missions/Missions.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

constexpr int32_t kEnd = 6761;

void Caption(int32_t delay, const char* text) {
  AddText(delay, text, 3);
}

void Line(const char* cls, int32_t x, int32_t y, int32_t dx, int32_t dy, int count) {
  for (int i = 0; i < count; ++i)
    AddEnemy(i == 0 ? 50 : 30, cls, x + dx * i, y + dy * i, 0);
}

void Bomber(const char* caption, const char* cls) {
  Caption(400, caption);
  AddEnemy(50, cls, 250, -100, -2, 1, SF_STOPADV);
}

}  // namespace

void BuildIntroduction() {
  AddEvent(1, "BGM1", 1);
  Caption(100, "Ｃ４７ 輸送機　撃ち落とせば補給物資を落とす。");
  Line("TEnemyC47", 610, 60, 0, 80, 3);
  Caption(400, "ＰＢＹ 飛行艇　のんびり屋だが、これも物資を運ぶ。");
  Line("TEnemyPBY", -40, 40, 0, 60, 4);
  Caption(400, "Ｐ３６ 戦闘機　旧式ながら、数で押してくる。");
  AddGroup(50, "TEnemyP36", -100, 0, 7);
  Caption(400, "Ｐ３９ 戦闘機　低空を素早く縫うように飛ぶ。");
  AddGroup(50, "TEnemyP39", 200, 0, 6);
  Caption(400, "Ｐ３８ 戦闘機　双胴の双発機。急降下に注意。");
  AddGroup(50, "TEnemyP38", -100, 0, 7);
  Caption(400, "Ｆ４Ｆ 艦上戦闘機　頑丈な艦上機。群れで来る。");
  AddGroup(50, "TEnemyF4F", 200, 0, 6);
  Caption(400, "Ｆ６Ｆ 艦上戦闘機　Ｆ４Ｆの後継。手強い相手だ。");
  AddGroup(50, "TEnemyF6F", -100, 0, 7);
  Bomber("ＳＢＤ 艦上爆撃機　居座って機銃をばらまく。", "TEnemySBD");
  Bomber("ＴＢＭ 艦上攻撃機　落とすまで先へは進めない。", "TEnemyTBM");
  Bomber("Ｂ２６ 爆撃機　重武装の双発爆撃機。", "TEnemyB26");
  Caption(400, "駆逐艦　対空砲火が正確だ。近寄るな。");
  Line("TEnemyDestroyer", 100, -450, 200, 0, 3);
  Caption(400, "ＬＣＩ 歩兵揚陸艇　上陸部隊を運ぶ小舟。");
  AddGroup(50, "TEnemyLCI", 0, 0, -1);
  Caption(400, "ＬＳＭ 中型揚陸艦　戦車を積んで浜を目指す。");
  AddGroup(50, "TEnemyLSM", 0, 0, -1);
  // The last ships need their time to cross; the introduction ends at a fixed frame.
  AddEvent(kEnd - ScheduleTotal, "nil", 3);
}

}  // namespace velmora
