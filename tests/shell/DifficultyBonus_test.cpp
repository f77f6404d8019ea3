#include <gtest/gtest.h>

#include "shell/ShellFixture.h"
#include "sprites/TextSprites.h"

namespace velmora {
namespace {

class DifficultyBonusTest : public ShellTest {};

// Switching to 困難 just before the end of an easy mission must not earn the hard bonus,
// nor switching down cost it.
TEST_F(DifficultyBonusTest, TheBonusFollowsTheDifficultyTheMissionStartedWith) {
  Start();
  for (const auto& [startedWith, switchedTo] : {std::pair{1, 3}, std::pair{3, 1}}) {
    Form->Difficulty = startedWith;
    Form->Mission = 1;
    Form->SetScene(ssPlay);
    Form->Difficulty = switchedTo;  // the 難易度 menu during play
    Form->Score = 0;
    auto* bonus = new TEventSprite(&Form->SpriteEngine.Engine);
    bonus->Style = 6;
    bonus->Advance(16);
    EXPECT_EQ(Form->Score, startedWith * 10000) << startedWith << " -> " << switchedTo;
  }
}

}  // namespace
}  // namespace velmora
