#include "sprites/ScrollBackground.h"

#include "game/GameRecord.h"

namespace velmora {

void TScrollBackground::Advance(int moveCount) {
  const int speed = Game ? Game->ScrollSpeed : 4;
  if (ScrollKind == 0)
    Y += moveCount * speed * 0.04;
  else if (ScrollKind == 1)
    Y += moveCount * speed * 0.07;
}

}  // namespace velmora
