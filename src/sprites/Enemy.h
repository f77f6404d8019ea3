// The base of every hostile object (and of the two harmless ones that need hit points): its
// fields, the damage protocol, and the move, fire and death routines the families share.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "engine/Sprite.h"

namespace velmora {

// What the scheduler hands an enemy after construction.
struct TSpawnValues {
  int32_t Pattern = 0;
  uint16_t Flags = 0;
  // Reinforcement waves enter with Phase -1 instead of 0.
  bool Immediate = false;
};

class TEnemy : public TImageSprite {
 public:
  // Every field starts at 0; the class constructors and the spawner set what they need.
  explicit TEnemy(TSprite* parent) : TImageSprite(parent) {}
  const char* ClassName() const override { return "TEnemy"; }

  virtual void TakeDamage(int32_t amount);
  virtual void DoHit(bool destroyed);
  // The battleship decides for itself whether a shot touching it struck anything (and applies
  // the damage); other enemies are never asked.
  virtual bool TestZoneHit(TSprite& /*shot*/, int32_t /*power*/) { return false; }

  void Spawn(const TSpawnValues& values);

  int32_t Age = 0;
  int32_t PhaseTime = 0;
  int32_t Pattern = 0;
  int32_t State = 0;
  int32_t Phase = 0;
  int32_t HitPoints = 0;
  int32_t Power = 0;
  int32_t TrackTime = 0;
  int32_t FireTime = 0;
  int32_t BurstTime = 0;
  bool Bursting = false;
  int32_t SmokeTime = 0;
  double SpeedFactor = 0;
  uint16_t Flags = 0;
  int32_t FanAngle = 0;

 protected:
  // Image, box and the usual looping animation, as every enemy constructor starts.
  void SetUpImage(const std::string& name);
};

// cos(2*pi*(i mod 256)/256), the mod taken on the low byte of i.
double CosTable(int i);

// The shared move step of the fighters and bombers (patterns 1 ... 6, -1, -2).
void MoveByPattern(TEnemy& enemy, int pattern, int m);
// One enemy shot, aimed at the aim point or falling straight down.
void FireShot(TEnemy& enemy, const std::string& image, const std::string& sound, bool aimed,
              int32_t power, int32_t spread, int dx, int dy, double speed);
void SpawnExplosion(TEnemy& enemy, int32_t lifetime, bool scattered);
void SpawnDebris(TEnemy& enemy, int32_t lifetime);

// Whether the sprite's class carries one of these names. The collision rules name classes of
// every family; asking by name keeps those rules in one place without the families' headers.
bool IsClassOneOf(const TSprite& sprite, std::initializer_list<std::string_view> names);

// A boss's phase that lasts ms: true while it waits, counting PhaseTime up; once the time is
// over, PhaseTime is reset for the next phase.
bool PhaseWaiting(TEnemy& boss, int m, int32_t ms);

// A boss's phase of aimed bursts of "50cal" from (Dx, Dy) on its picture, one shot every
// 100 ms for BurstMs with PauseMs between bursts, for five to seven seconds. Returns true
// when the phase is over.
struct TBurstShape {
  int Dx, Dy;
  int32_t BurstMs, PauseMs;
  double Speed;
};
bool AimedBursts(TEnemy& boss, int m, const TBurstShape& shape);

}  // namespace velmora
