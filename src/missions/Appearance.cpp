#include "missions/Appearance.h"

#include <stdexcept>

#include "engine/Random.h"
#include "game/GameRecord.h"
#include "sprites/Enemy.h"
#include "sprites/SpawnFlags.h"
#include "sprites/SpriteClasses.h"
#include "sprites/TextSprites.h"

namespace velmora {

namespace {

TSpriteFactory ClassByName(const std::string& name) {
  static const bool registered = (RegisterTextSprites(), true);
  (void)registered;
  TSpriteFactory factory = FindSpriteClass(name);
  if (!factory) throw std::runtime_error("スプライトクラス '" + name + "' が見つかりません");
  return factory;
}

// Hands a record's values to the sprite just made from it. Constructors have run by now,
// so none of them can see these values.
TSprite* Create(TSpriteFactory factory, int32_t x, int32_t y, const std::string& text,
                int32_t param, uint16_t flags, bool immediate) {
  TSprite* sprite = factory(&Game->SpriteEngine.Engine);
  sprite->X = x;
  sprite->Y = y;
  if (auto* moji = dynamic_cast<TMojiSprite*>(sprite)) {
    moji->Text = text;
    moji->Style = param;
  } else if (auto* event = dynamic_cast<TEventSprite*>(sprite)) {
    event->Text = text;
    event->Style = param;
  } else if (auto* enemy = dynamic_cast<TEnemy*>(sprite)) {
    enemy->Spawn({param, flags, immediate});
  }
  return sprite;
}

struct TMember {
  int32_t X, Y, Delay, Pattern;
};

// The members of a formation as offsets from (X0, Y0); Delay is each member's delay after
// the one before (the first member's is the caller's).
std::vector<TMember> FormationMembers(int32_t type) {
  static constexpr int32_t kVeeY[5] = {-170, -110, -50, -110, -170};
  std::vector<TMember> m;
  auto line = [&m](int count, int32_t x, int32_t dx, int32_t y, int32_t delay, int32_t pattern) {
    for (int i = 0; i < count; ++i)
      m.push_back({x + dx * i, y, i == 0 ? 0 : delay, pattern});
  };
  auto vee = [&m](int32_t x, int32_t pattern) {
    for (int i = 0; i < 5; ++i)
      m.push_back({x + 80 * i, kVeeY[i], 0, pattern});
  };
  switch (type) {
    case -1:
      for (int i = 0; i < 3; ++i)
        m.push_back({640, 80 * i, i == 0 ? 0 : 30, 0});
      break;
    case 0:
      line(5, 500, -80, -50, 10, 3);
      break;
    case 1:
      line(5, 180, 80, -50, 10, 2);
      break;
    case 2:
      vee(150, 4);
      break;
    case 3:
      line(5, 600, 0, -50, 10, 5);
      break;
    case 4:
      line(5, -40, 0, -50, 10, 6);
      break;
    case 5:
      for (int i = 0; i < 10; ++i) {
        const bool right = i % 2 == 0;
        m.push_back({right ? 600 : -40, -50, right ? 10 : 0, right ? 5 : 6});
      }
      break;
    case 6:
      vee(-80, 3);
      break;
    case 7:
      vee(360, 2);
      break;
    case 8:
      line(5, 0, 0, -50, 20, 4);
      break;
    case 9:
      line(5, 0, 60, -50, 0, 1);
      break;
    case 10:
      line(5, 0, 0, -50, 20, 1);
      break;
    case 11:
      line(4, 500, -80, -50, 10, 3);
      break;
    case 12:
      line(4, 100, 80, -50, 10, 2);
      break;
    case 13:
      line(9, 640, -80, -50, 10, 3);
      break;
    case 14:
      line(9, 0, 80, -50, 10, 2);
      break;
    case 15:
      m = {{0, -120, 0, 4}, {80, -60, 0, 4}, {160, -120, 0, 4}};
      break;
    default:
      break;
  }
  return m;
}

}  // namespace

void ResetSchedule() {
  AppearanceList.clear();
  ScheduleTotal = 0;
}

void AddAppearance(int32_t delay, const std::string& spriteClass, int32_t x, int32_t y,
                   const std::string& text, int32_t param, int32_t level, uint16_t flags) {
  TObjectAdvent record;
  record.Time = ScheduleTotal + delay;
  record.SpriteClass = ClassByName(spriteClass);
  record.ClassName = spriteClass;
  record.X = x;
  record.Y = y;
  record.Text = text;
  record.Param = param;
  record.Level = level;
  record.Flags = flags;
  AppearanceList.push_back(std::move(record));
  ScheduleTotal += delay;
}

void AddFormation(int32_t delay, const std::string& spriteClass, int32_t x0, int32_t y0,
                  int32_t formationType, int32_t level) {
  if (formationType == 16) {
    // A scattered rain across the whole width: the place is drawn per member, here and now.
    for (int i = 0; i < 16; ++i) {
      const int32_t x = Random(640);
      AddAppearance(i == 0 ? delay : 30, spriteClass, x, -60, "nil", 1, level, 0);
    }
    return;
  }
  const std::vector<TMember> members = FormationMembers(formationType);
  for (size_t i = 0; i < members.size(); ++i) {
    const TMember& m = members[i];
    AddAppearance(i == 0 ? delay : m.Delay, spriteClass, x0 + m.X, y0 + m.Y, "nil", m.Pattern,
                  level, 0);
  }
}

void SpawnDue() {
  TGameRecord& game = *Game;
  if (game.AppearanceIndex < 0 ||
      game.AppearanceIndex >= static_cast<int32_t>(AppearanceList.size()))
    return;
  const TObjectAdvent& record = AppearanceList[game.AppearanceIndex];
  if (game.FrameCount < record.Time) return;
  if (game.Difficulty >= record.Level)
    Create(record.SpriteClass, record.X, record.Y, record.Text, record.Param, record.Flags, false);
  // A record left out for its difficulty still takes its frame.
  ++game.AppearanceIndex;
}

TSprite* SpawnNow(const std::string& spriteClass, int32_t x, int32_t y, const std::string& text,
                  int32_t param, uint16_t flags) {
  return Create(ClassByName(spriteClass), x, y, text, param, flags, true);
}

void ReinforcementTick(int32_t trigger) {
  if (!Game->ReinforcementsOn) return;
  if (ReinforcementTimer <= ReinforcementPeriod) {
    ++ReinforcementTimer;
    return;
  }
  ReinforcementTimer = 0;
  if (trigger != 1) return;
  static constexpr int32_t kWaveY[4] = {-170, -110, -50, -110};
  switch (ReinforcementStep) {
    case 0:
      for (int i = 0; i < 4; ++i)
        SpawnNow("TEnemyF4F", 100 + 80 * i, kWaveY[i], "nil", 3, SF_WORTHLESS);
      ReinforcementStep = 1;
      break;
    case 1:
      for (int i = 0; i < 4; ++i)
        SpawnNow("TEnemyF4F", 180 + 80 * i, kWaveY[i], "nil", 2, SF_WORTHLESS);
      ReinforcementStep = 2;
      break;
    default:
      ReinforcementStep = 0;
      break;
  }
}

}  // namespace velmora
