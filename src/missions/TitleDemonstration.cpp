// The title demonstration: the morning the war begins, rising over the sea.
#include "missions/Missions.h"

namespace velmora {

void BuildTitleDemonstration() {
  AddText(10, "1941年12月８日", 0);
  // The date is tall: the story waits until it has risen clear.
  AddText(150, "夜明け前の北太平洋。", 2);
  AddText(50, "六隻の空母を擁する機動部隊は、", 2);
  AddText(50, "荒れる海を越え、息を潜めて南へ進んでいた。", 2);
  AddText(80, "飛行甲板には、翼を連ねた艦上機の列。", 2);
  AddText(50, "暖機運転の轟きが、冷たい夜気を震わせる。", 2);
  AddText(80, "若き搭乗員たちはそれぞれの想いを胸に、", 2);
  AddText(50, "風防を閉じて発艦の合図を待っていた。", 2);
  AddText(50, "運命の一日が、いま始まろうとしている。", 2);
  AddText(150, "スペースキーを押して下さい", 4);
}

}  // namespace velmora
