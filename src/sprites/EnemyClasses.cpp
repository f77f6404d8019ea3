#include "sprites/EnemyClasses.h"

#include "sprites/Bombers.h"
#include "sprites/Bosses.h"
#include "sprites/Fighters.h"
#include "sprites/HeavyBomber.h"
#include "sprites/Ruko.h"
#include "sprites/Ships.h"
#include "sprites/SpriteClasses.h"

namespace velmora {

namespace {

template <class T>
TSprite* Create(TSprite* parent) {
  return new T(parent);
}

}  // namespace

void RegisterEnemyClasses() {
  RegisterSpriteClass("TEnemyP40", &Create<TEnemyP40>);
  RegisterSpriteClass("TEnemyP39", &Create<TEnemyP39>);
  RegisterSpriteClass("TEnemyP36", &Create<TEnemyP36>);
  RegisterSpriteClass("TEnemyF4F", &Create<TEnemyF4F>);
  RegisterSpriteClass("TEnemyF6F", &Create<TEnemyF6F>);
  RegisterSpriteClass("TEnemyP38", &Create<TEnemyP38>);
  RegisterSpriteClass("TEnemyC47", &Create<TEnemyC47>);
  RegisterSpriteClass("TEnemyPBY", &Create<TEnemyPBY>);
  RegisterSpriteClass("TEnemySBD", &Create<TEnemySBD>);
  RegisterSpriteClass("TEnemyTBM", &Create<TEnemyTBM>);
  RegisterSpriteClass("TEnemyB17", &Create<TEnemyB17>);
  RegisterSpriteClass("TEnemyB26", &Create<TEnemyB26>);
  RegisterSpriteClass("TEnemyF4F_E", &Create<TEnemyF4F_E>);
  RegisterSpriteClass("TEnemyF4F_S", &Create<TEnemyF4F_S>);
  RegisterSpriteClass("TEnemyLSM", &Create<TEnemyLSM>);
  RegisterSpriteClass("TEnemyLCI", &Create<TEnemyLCI>);
  RegisterSpriteClass("TEnemyDestroyer", &Create<TEnemyDestroyer>);
  RegisterSpriteClass("TEnemyMissouri", &Create<TEnemyMissouri>);
  RegisterSpriteClass("TEnemyEnterprise", &Create<TEnemyEnterprise>);
  RegisterSpriteClass("TEnemy30cm", &Create<TEnemy30cm>);
  RegisterSpriteClass("TEnemyAABomb", &Create<TEnemyAABomb>);
  RegisterSpriteClass("TEnemyRuko", &Create<TEnemyRuko>);
  RegisterSpriteClass("TEnemyB29", &Create<TEnemyB29>);
}

}  // namespace velmora
