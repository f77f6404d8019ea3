// The bonus missions 6 to 11: an alien visitor, two voyages through space with nothing to
// shoot with, the mascot's fall from a great height, the mascot against the apple, and the
// day the mascots rained on the earth. Every list sets up its own game; the play set-up
// gives the defaults back before the next one.
#include <initializer_list>
#include <utility>

#include "engine/Random.h"
#include "game/GameRecord.h"
#include "missions/ListBuilders.h"
#include "missions/Missions.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

// A game without support planes that starts undamaged, flying the given picture.
void JokeGame(const char* playerImage, bool fire) {
  TGameRecord& game = *Game;
  game.PlayerImage = playerImage;
  game.SupportPlanes = 0;
  game.FireEnabled = fire;
  game.Damage = 0;
}

// Stars, saucers or apples falling from random places, one every 5 frames and now and then
// a second one that steers at the player.
void FallingTargets(int steps, uint16_t flags) {
  for (int i = 0; i < steps; ++i) {
    AddEnemy(5, "TEnemyP36", Random(640), -100, 4, 1, flags);
    if (Random(5) == 0) AddEnemy(5, "TEnemyP36", Random(640), -100, 1, 1, flags);
  }
}

// Four radio lines, then the targets rain down until the voyage is over.
void SpaceVoyage(const char* targetImage, const char* shotDown, const char* const (&radio)[4]) {
  JokeGame("UFO", false);
  Game->P36Image = targetImage;
  Game->ShotDownMessage = shotDown;
  const int32_t gaps[4] = {300, 300, 200, 300};
  for (int i = 0; i < 4; ++i)
    AddText(gaps[i], radio[i], 3);
  AddEnemy(200, "TEnemyP36", Random(640), -100, 4, 1, SF_NOFIRE);
  FallingTargets(150, SF_NOFIRE);
  AddEvent(300, "nil", 3);
}

// Altitude marks down the left of the screen: the joke target falls past them.
void AltitudeScale(std::initializer_list<std::pair<const char*, int32_t>> marks, int32_t first) {
  int32_t delay = first;
  for (const auto& [text, y] : marks) {
    AddText(delay, text, -2, 200, y);
    delay = 30;
  }
}

}  // namespace

void BuildAlienInvasion() {
  Game->SBDImage = "UFO";
  AddEvent(1, "BOSS", 1);
  AddText(100, "ｴｲﾘｱﾝ", 3);
  AddEnemy(10, "TEnemySBD", 250, -100, -1, 1, SF_STOPADV | SF_NOFIRE | SF_NOSMOKE);
  AddEvent(100, "nil", 3);
}

void BuildVoyage2001() {
  static const char* const radio[4] = {
      "管制：試作宇宙艇どんぶら号、大気圏の離脱を確認した。",
      "管制：燃料は片道分しか積んでいない。気にするな。",
      "管制：前方に流れ星の群れ。機銃は重いので降ろしてある。",
      "管制：……全部よけろ。健闘を祈る。",
  };
  SpaceVoyage("Star", "宇宙旅行はまだ早すぎる。", radio);
}

void BuildRukoExperiment() {
  JokeGame("UFO", false);
  AddText(1, "ルコ自由落下実験　観測記録", -1, 200, 1);
  AltitudeScale({{"―― 高度 ３０００ｍ ――", 150},
                 {"―― 高度 ２０００ｍ ――", 250},
                 {"―― 高度 １０００ｍ ――", 350},
                 {"―― 地表 ――", 450}},
                30);
  AddText(100, "博士：これより、ルコの自由落下実験を開始する。", 3, 200, 70);
  AddText(300, "助手：博士、ルコが「聞いてない」という顔をしています。", 3, 200, 70);
  AddText(300, "博士：気のせいだ。投下！", 3, 200, 70);
  // The clock waits until the target has reached the ground.
  AddEnemy(100, "TEnemyRuko", 0, 0, 4, 1, SF_STOPADV);
  AddText(200, "博士：……重力は、本日も正常に作動している。", 3, 200, 70);
  AddText(200, "助手：破片がきれいに積もりました。実験は成功です。", 3, 200, 70);
  AddEvent(200, "nil", 3);
}

void BuildVoyage3001() {
  static const char* const radio[4] = {
      "管制：どんぶら号の出発から千年。旅はまだ続いている。",
      "管制：前方に未確認飛行物体の大編隊を確認。",
      "管制：向こうから見れば、こちらも未確認飛行物体だ。",
      "管制：話し合いは無理そうだ。全力で逃げろ！",
  };
  SpaceVoyage("UFO", "ｴｲﾘｱﾝの襲撃に遭った。", radio);
}

void BuildRukoVersusApple() {
  JokeGame("Ruko", true);
  Game->P36Image = "Apple";
  Game->ShotDownMessage = "果樹園の大旦那「林檎に勝とうなど百年早いわ！」";
  FallingTargets(50, 0);
  AddEvent(200, "nil", 3);
}

void BuildLastDayOfTheEarth() {
  JokeGame("Apple", true);
  AltitudeScale(
      {{"―― 高度 ２０００ｍ ――", 150}, {"―― 高度 １０００ｍ ――", 300}, {"―― 地表 ――", 450}}, 30);
  AddText(100, "臨時ニュース：空から大量のルコが降ってきます！", 3, 200, 70);
  for (int i = 0; i < 30; ++i) {
    // The last one holds the clock: the closing lines wait until it is gone.
    const uint16_t flags = i == 29 ? SF_HighSpeed | SF_STOPADV : SF_HighSpeed;
    AddEnemy(30, "TEnemyRuko", 0, Random(400) - 100, 4, 1, flags);
  }
  AddText(200, "臨時ニュース：ルコの雨はやみました。", 3, 200, 70);
  AddText(200, "明日は晴れ、ところにより林檎でしょう。", 3, 200, 70);
  AddEvent(200, "nil", 3);
}

}  // namespace velmora
