// The briefings and closing texts of the bonus missions and the aircraft introduction. The
// briefings of the space voyages and the mascot's missions choose their backgrounds.
#include "missions/BonusTexts.h"

#include <initializer_list>

#include "game/GameRecord.h"
#include "missions/Missions.h"

namespace velmora {

namespace {

// The usual page: the date, the story a line every 50 frames with a pause of 90 before each
// paragraph, then the prompt.
void Page(const char* date, std::initializer_list<std::initializer_list<const char*>> paragraphs) {
  AddText(10, date, 1);
  int32_t delay = 100;
  for (const auto& paragraph : paragraphs) {
    for (const char* line : paragraph) {
      AddText(delay, line, 2);
      delay = 50;
    }
    delay = 90;
  }
  AddText(120, "スペースキーを押して下さい", 4);
}

}  // namespace

bool BuildBonusBriefing(int32_t mission) {
  TGameRecord& game = *Game;
  switch (mission) {
    case 6:
      Page("1998年　秋",
           {{"突如、空の彼方から謎の円盤が飛来した。", "円盤は一機。たった一機である。",
             "地球の科学では、その正体は分からない。"},
            {"貴官の任務は、この円盤を撃墜することにある。", "なお、この作戦は予算の都合により、",
             "敵を一機しか用意できなかった。"},
            {"短くても、苦情は受け付けない。"}});
      return true;
    case 7:
      game.BackgroundImage = "Space";
      Page("2001年　宇宙",
           {{"人類は、ついに宇宙へ飛び出した。", "……といっても、乗り物は試作の円盤が一機きり。",
             "機銃を積む余裕もなかった。"},
            {"行く手には、名も知らぬ星々が待ち受けている。", "星にぶつかれば、ひとたまりもない。"},
            {"ひたすら避けて、生きて帰れ。"}});
      return true;
    case 8:
      game.BackgroundImage = "NONE";
      Page("1998年　夏　山奥の研究所",
           {{"ここは、とある山奥の秘密研究所。", "今日は、世紀の大実験の日である。"},
            {"実験台は、研究所のマスコット「ルコ」。",
             "高度三千メートルから落とすと、どうなるのか。", "答えは、誰もが薄々わかっている。"},
            {"貴官はただ、見守るだけでよい。"}});
      return true;
    case 9:
      game.BackgroundImage = "Space";
      Page("3001年　銀河の果て",
           {{"どんぶら号の旅立ちから、千年が過ぎた。",
             "人類は、いまだに円盤一機で宇宙をさまよっている。"},
            {"そこへ、本物の異星人の円盤が現れた。", "数えきれないほどの大編隊である。"},
            {"相変わらず、武装はない。", "逃げ切れ。人類の未来は貴官の操縦にかかっている。"}});
      return true;
    case 10:
      game.BackgroundImage = "Space";
      Page("某年某月　宇宙空間",
           {{"世紀の大実験を生き延びたルコは、", "宇宙の果てで、宿敵と巡り会った。"},
            {"その名は、林檎。", "赤く、丸く、そして妙に硬い。"},
            {"果樹園の大旦那が差し向けた、最強の刺客である。",
             "ルコよ、林檎を撃て。ひたすら撃て。"}});
      return true;
    case 11:
      game.BackgroundImage = "NONE";
      Page("20XX年　地球最後の日",
           {{"その日、空から無数のルコが降ってきた。", "ルコが地上に積もれば、地球は終わる。"},
            {"最後の希望は、一個の林檎。", "かつての宿敵に、地球の命運が託された。"},
            {"林檎よ、ルコを撃ち落とせ。"}});
      return true;
    case 9999:
      Page("機体紹介",
           {{"これから戦う敵の機体と艦艇を、", "一つずつ紹介していく。"},
            {"撃ち落としてもかまわない。", "ただし爆撃機は、落とすまで次へ進まない。"}});
      return true;
    default:
      return false;
  }
}

bool BuildBonusClosing(int32_t mission) {
  switch (mission) {
    case 6:
      Page("1998年　秋　作戦終了",
           {{"円盤は、海の藻屑と消えた。", "地球の平和は守られた。たぶん。"},
            {"……え、もう終わり？", "だから、苦情は受け付けないと言ったはずだ。"}});
      return true;
    case 7:
      Page("2001年　宇宙のどこか", {{"どんぶら号は、無事に星の海を抜けた。",
                                     "乗組員は語る。「宇宙は、思ったより星だらけだった」"},
                                    {"人類の宇宙への旅は、まだ始まったばかりである。"}});
      return true;
    case 8:
      Page("1998年　夏　実験終了",
           {{"実験の結果、ルコは粉々になった。", "博士は満足げに頷いた。"},
            {"「次は、もっと高い所から落としてみよう」", "研究所の夏は、まだ終わらない。"}});
      return true;
    case 9:
      Page("3001年　銀河の果て　脱出成功",
           {{"異星人の大編隊は、いつの間にか去っていった。",
             "どうやら、ただの通りすがりだったらしい。"},
            {"人類と異星人の初めての出会いは、", "こうして誰にも知られずに終わった。"}});
      return true;
    case 10:
      Page("某年某月　宇宙空間　決着",
           {{"林檎は、ついに一個も割れなかった。", "だがルコも、最後まで逃げ切った。"},
            {"勝負は引き分け。", "二人の因縁は、次の秋まで持ち越された。"}});
      return true;
    case 11:
      Page("20XX年　地球最後の日の翌日",
           {{"ルコの雨は、やんだ。", "地上には、ルコの破片がうず高く積もっている。"},
            {"地球は、なんとか無事だった。", "林檎は黙って、夕日の中へ転がっていった。"}});
      return true;
    case 9999:
      Page("機体紹介　終わり", {{"以上が、貴官の前に立ちはだかる敵の顔ぶれである。",
                                 "姿と動きを、よく覚えておくように。"}});
      return true;
    default:
      return false;
  }
}

}  // namespace velmora
