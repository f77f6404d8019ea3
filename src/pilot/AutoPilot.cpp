#include "pilot/AutoPilot.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "sprites/Bosses.h"
#include "sprites/Commander.h"
#include "sprites/Enemy.h"
#include "sprites/EnemyShots.h"
#include "sprites/HeavyBomber.h"
#include "sprites/Issiki.h"
#include "sprites/Player.h"
#include "sprites/PlayerShots.h"
#include "sprites/SpawnFlags.h"

namespace velmora {

namespace {

const TImageSprite* Escorted() {
  return Game->CommanderPresent && CommanderPlane && CommanderPlane->Collides ? CommanderPlane
                                                                              : nullptr;
}

// The lower an enemy, the sooner it strikes; while escorting, one closing on the escorted
// plane's line strikes sooner still.
double Threat(const TEnemy& e, double cx) {
  const TImageSprite* c = Escorted();
  return c ? e.Y - 0.5 * std::abs(cx - (c->X + c->Width / 2.0)) : e.Y;
}

// While escorting, only what comes down within reach of the escorted plane is worth
// leaving it for: every turn away drags it along behind.
bool Near(double cx) {
  const TImageSprite* c = Escorted();
  return !c || std::abs(cx - (c->X + c->Width / 2.0)) < 200;
}

// The great bomber costs 90 at a touch: under its middle while there is room below it,
// else beside it where the screen leaves more room, until it climbs again.
std::pair<double, double> AroundTheBomber(const TEnemyB29& b) {
  const double bottom = b.Y + b.Height;
  if (bottom < 260) return {b.X + b.Width / 2.0, std::max(200.0, bottom + 60)};
  const bool left = b.X > 640 - (b.X + b.Width);
  return {left ? b.X - 60 : b.X + b.Width + 60, 400.0};
}

}  // namespace

void TAutoPilot::Step(const TGameRecord& game) {
  const TSceneState scene = game.SceneState;
  const bool waits = scene == ssTitle || scene == ssBriefing || scene == ssResult;
  Left = Right = Up = Down = false;
  if (waits) {
    // The finale is watched to its last page before going on.
    const bool finale = scene == ssResult && game.Mission == 5 &&
                        game.AppearanceIndex < static_cast<int32_t>(AppearanceList.size());
    Space = !finale && game.FrameCount >= 30 && game.FrameCount % 10 < 5;
  } else if (scene == ssPlay) {
    Space = true;
    Steer(game);
  } else {
    Space = false;
  }
}

void TAutoPilot::Steer(const TGameRecord& game) {
  const TPlayerSprite* me = PlayerSprite;
  if (!me || me->State != 0) return;
  const double x = me->X + me->Width / 2.0;
  const double y = me->Y;
  std::optional<std::pair<double, double>> goal;
  int rank = 0;  // of the goal chosen so far; higher wins
  double lowest = -1e9;
  std::vector<const TEnemy*> threats;
  // Escorting, fly low: the plane below trails off the bottom edge, where little reaches it.
  const double line = Escorted() ? 430.0 : 360.0;
  const TSpriteEngine& engine = game.SpriteEngine.Engine;
  for (int i = 0; i < engine.Count(); ++i) {
    const TSprite* s = engine.Items(i);
    if (!s->Visible || !s->Collides) continue;
    const double cx = s->X + s->Width / 2.0;
    if (dynamic_cast<const TItemSprite*>(s)) {
      if (rank < 4) goal = {{cx, std::clamp(s->Y + 40.0, 200.0, 400.0)}}, rank = 4;
      continue;
    }
    const auto* e = dynamic_cast<const TEnemy*>(s);
    if (!e || e->State < 0 || dynamic_cast<const TEnemyTama*>(s) || dynamic_cast<const TIssiki*>(s))
      continue;
    if (const auto* b29 = dynamic_cast<const TEnemyB29*>(s)) {
      if (rank < 3) goal = AroundTheBomber(*b29), rank = 3;
      continue;
    }
    if (dynamic_cast<const TEnemyEnterprise*>(s)) {
      // Only the island takes hits: keep the volley on it from a little closer in.
      if (rank < 3) goal = {{e->X + 315, 300.0}}, rank = 3;
      continue;
    }
    if (dynamic_cast<const TEnemyMissouri*>(s)) {
      // Only the hull amidships, between the forward and the after turrets, wears down
      // the battleship.
      if (rank < 3) goal = {{e->X + 294, 300.0}}, rank = 3;
      continue;
    }
    if (e->Power >= 100) {
      // Ramming one ends the flight before --god can clear the damage: keep out of its way.
      if (e->Y < me->Y + me->Height) threats.push_back(e);
      continue;
    }
    if (e->Y + e->Height <= 0 || e->Y >= y) continue;
    if (e->Flags & SF_STOPADV) {
      if (rank < 2) goal = {{cx, line}}, rank = 2;
    } else if (rank <= 1 && Threat(*e, cx) > lowest && Near(cx)) {
      lowest = Threat(*e, cx);
      goal = {{cx, line}};
      rank = 1;
    }
  }
  if (!threats.empty()) return Dodge(threats);
  // Escorting with nothing near: hold the middle rather than weave.
  if (!goal && Escorted()) goal = {{320.0, line}};
  if (!goal) {
    // Nothing in sight: weave across the field.
    const int phase = game.FrameCount % 160;
    Left = phase < 40;
    Right = phase >= 80 && phase < 120;
    return;
  }
  const double dx = goal->first - x, dy = goal->second - y;
  Left = dx < -6;
  Right = dx > 6;
  Up = dy < -6;
  Down = dy > 6;
}

// Low down, searching frame by frame, in steps of one frame's travel, for a way through the
// next 40 frames that no faller crosses. The fallers dive straight (pattern 4) or steer a
// little after us (pattern 1), gathering speed with their age.
void TAutoPilot::Dodge(const std::vector<const TEnemy*>& threats) {
  const TPlayerSprite* me = PlayerSprite;
  // Contact counts only within the fighter's inner box, 30 px in from its sides.
  const double half = me->Width / 2.0, x = me->X + half, reach = std::abs(half - 30) + 4;
  const double top = me->Y + 7, bottom = me->Y + me->Height - 7;
  struct TPass {
    double Left, Right, In, Out;  // the columns it covers and when (frames from now)
  };
  std::vector<TPass> passes;
  for (const TEnemy* e : threats) {
    // Its speed grows by one pixel a frame every 16 frames: d = v t + t^2 / 32.
    const double v = (e->Pattern == 1 ? 3.2 : 4.0) + e->Age / 256;
    const auto after = [v](double d) {
      return d <= 0 ? d / v : 16 * (std::sqrt(v * v + d / 8) - v);
    };
    // A steering one closes in by up to 4 px a frame until it arrives.
    const double in = after(top - e->Y - e->Height);
    const double steer = e->Pattern == 1 ? std::clamp(4 * in, 0.0, 40.0) : 0;
    const bool toLeft = e->X + e->Width / 2.0 > x;
    passes.push_back({e->X - 3 - (toLeft ? steer : 0), e->X + e->Width + 3 + (toLeft ? 0 : steer),
                      in - 1, after(bottom - e->Y) + 1});
  }
  constexpr int kSide = 80, kCells = 2 * kSide + 1;
  const auto free = [&](int cell, int t) {
    const double cx = x + 8 * (cell - kSide);
    if (cx < half || cx > 640 - half) return false;
    for (const TPass& p : passes)
      if (p.Left < cx + reach && p.Right > cx - reach && p.In <= t && p.Out >= t) return false;
    return true;
  };
  // The first move (-1, 0, 1) of a way to each cell, 2 where none leads.
  std::vector<int> first(kCells, 2), next;
  first[kSide] = 0;
  for (int t = 1; t <= 40; ++t) {
    next.assign(kCells, 2);
    bool any = false;
    for (int c = 0; c < kCells; ++c)
      for (const int d : {0, -1, 1})
        if (first[c] != 2 && c + d >= 0 && c + d < kCells && next[c + d] == 2 && free(c + d, t))
          next[c + d] = t == 1 ? d : first[c], any = true;
    if (!any) break;
    first.swap(next);
  }
  // Of the ways that last longest, the one ending nearest the middle keeps both sides open.
  int move = 2;
  double nearest = 1e9;
  for (int c = 0; c < kCells; ++c)
    if (first[c] != 2 && std::abs(x + 8 * (c - kSide) - 320) < nearest)
      nearest = std::abs(x + 8 * (c - kSide) - 320), move = first[c];
  Left = move == -1;
  Right = move == 1;
  Down = me->Y + me->Height < 470;
}

}  // namespace velmora
