// The fighters: the pattern-driven types, the two unarmed crossers that always drop an item,
// and the two homing fighters that chase the aim point and shoot along their heading.
#pragma once

#include <cstdint>
#include <string>

#include "sprites/Enemy.h"
#include "sprites/FlightPath.h"

namespace velmora {

class TEnemyEnterprise;

// The shape most fighters share: the constructor sets picture, hit points and power, the
// move step is the shared pattern routine and a kill is worth KillScore.
class TPatternFighter : public TEnemy {
 public:
  TPatternFighter(TSprite* parent, const std::string& image, int32_t killScore);
  const char* ClassName() const override { return "TPatternFighter"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

 protected:
  virtual int32_t KillScore() const { return KillScore_; }

 private:
  int32_t KillScore_;
};

class TEnemyP40 : public TPatternFighter {
 public:
  explicit TEnemyP40(TSprite* parent);
  const char* ClassName() const override { return "TEnemyP40"; }
};

class TEnemyP39 : public TPatternFighter {
 public:
  explicit TEnemyP39(TSprite* parent);
  const char* ClassName() const override { return "TEnemyP39"; }
};

// Wears the game record's P36Image; a bonus picture makes it all but indestructible.
class TEnemyP36 : public TPatternFighter {
 public:
  explicit TEnemyP36(TSprite* parent);
  const char* ClassName() const override { return "TEnemyP36"; }
};

class TEnemyF4F : public TPatternFighter {
 public:
  explicit TEnemyF4F(TSprite* parent);
  const char* ClassName() const override { return "TEnemyF4F"; }

 protected:
  // Reinforcement waves are worth next to nothing.
  int32_t KillScore() const override;
};

class TEnemyF6F : public TPatternFighter {
 public:
  explicit TEnemyF6F(TSprite* parent);
  const char* ClassName() const override { return "TEnemyF6F"; }
};

class TEnemyP38 : public TPatternFighter {
 public:
  explicit TEnemyP38(TSprite* parent);
  const char* ClassName() const override { return "TEnemyP38"; }
};

// Flies straight across the screen without firing and leaves its item when shot down.
class TCrosser : public TEnemy {
 public:
  // direction -1 crosses leftwards, +1 rightwards.
  TCrosser(TSprite* parent, const std::string& image, int direction, const std::string& item,
           int32_t itemKind);
  const char* ClassName() const override { return "TCrosser"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

 private:
  int Direction_;
  std::string Item_;
  int32_t ItemKind_;
};

class TEnemyC47 : public TCrosser {
 public:
  explicit TEnemyC47(TSprite* parent);
  const char* ClassName() const override { return "TEnemyC47"; }
};

class TEnemyPBY : public TCrosser {
 public:
  explicit TEnemyPBY(TSprite* parent);
  const char* ClassName() const override { return "TEnemyPBY"; }
};

// Chases the aim point for ever, its picture turned to its heading.
class THomingFighter : public TEnemy {
 public:
  THomingFighter(TSprite* parent, const std::string& image, int32_t killScore);
  const char* ClassName() const override { return "THomingFighter"; }

  void Advance(int moveCount) override;
  void DoHit(bool destroyed) override;

  TFlightPath Path;

 protected:
  // State 0: on the deck or just placed. Returns true once it flies.
  virtual bool ReadyToChase(int m) = 0;
  void TakeOff();

 private:
  int32_t KillScore_;
};

// Rolls along the carrier's deck, unhittable, and takes off past its bow.
class TEnemyF4F_E : public THomingFighter {
 public:
  explicit TEnemyF4F_E(TSprite* parent);
  const char* ClassName() const override { return "TEnemyF4F_E"; }

  // Cleared by the carrier when it is freed; a fighter left on a vanished deck takes off.
  TEnemyEnterprise* Carrier = nullptr;

 protected:
  bool ReadyToChase(int m) override;
};

class TEnemyF4F_S : public THomingFighter {
 public:
  explicit TEnemyF4F_S(TSprite* parent);
  const char* ClassName() const override { return "TEnemyF4F_S"; }

 protected:
  bool ReadyToChase(int m) override;
};

// Where the guns of a homing fighter sit in each of its eight direction frames.
TPoint HomingNoseOffset(int frame);

}  // namespace velmora
