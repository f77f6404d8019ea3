#include "sprites/SpriteClasses.h"

#include <map>

#include "sprites/Commander.h"
#include "sprites/Enemy.h"
#include "sprites/EnemyClasses.h"
#include "sprites/EnemyShots.h"
#include "sprites/Issiki.h"
#include "sprites/Player.h"
#include "sprites/PlayerShots.h"
#include "sprites/TextSprites.h"

namespace velmora {

namespace {

std::map<std::string, TSpriteFactory>& Classes() {
  static std::map<std::string, TSpriteFactory> classes;
  return classes;
}

template <class T>
TSprite* Create(TSprite* parent) {
  return new T(parent);
}

// Registration runs from the first lookup, not from static initialisers: objects of a static
// library that nothing references are left out of the program, registrars and all.
void RegisterBuiltInClasses() {
  static const bool done = [] {
    RegisterPlayerSideClasses();
    RegisterEnemyClasses();
    RegisterTextSprites();
    return true;
  }();
  (void)done;
}

}  // namespace

void RegisterSpriteClass(const std::string& name, TSpriteFactory factory) {
  Classes()[name] = factory;
}

TSpriteFactory FindSpriteClass(const std::string& name) {
  RegisterBuiltInClasses();
  const auto it = Classes().find(name);
  return it == Classes().end() ? nullptr : it->second;
}

void RegisterPlayerSideClasses() {
  RegisterSpriteClass("TPlayerSprite", &Create<TPlayerSprite>);
  RegisterSpriteClass("TTamaSprite", &Create<TTamaSprite>);
  RegisterSpriteClass("TFriendTamaSprite", &Create<TFriendTamaSprite>);
  RegisterSpriteClass("TItemSprite", &Create<TItemSprite>);
  RegisterSpriteClass("TEnemy", &Create<TEnemy>);
  RegisterSpriteClass("TEnemyTama", &Create<TEnemyTama>);
  RegisterSpriteClass("TIssiki", &Create<TIssiki>);
  RegisterSpriteClass("TCyoukanIssiki", &Create<TCyoukanIssiki>);
}

}  // namespace velmora
