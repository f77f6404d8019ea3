// A main form whose tests build one play list and count what it lets out.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "engine/Random.h"
#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "platform/headless/Headless.h"
#include "shell/MainForm.h"

namespace velmora::test {

class MissionFixture : public ::testing::Test {
 protected:
  explicit MissionFixture(int32_t mission) : Mission(mission) { Form.FormCreate(); }
  ~MissionFixture() override { ResetSchedule(); }

  void Build(int difficulty, uint32_t seed = 1) {
    Form.Difficulty = difficulty;
    RandSeed() = seed;
    BuildMission(Mission);
  }

  // What the scheduler would let out on the difficulty the list was built for.
  std::map<std::string, int> Released() const {
    std::map<std::string, int> counts;
    for (const TObjectAdvent& r : AppearanceList)
      if (r.Level <= Form.Difficulty) ++counts[r.ClassName];
    return counts;
  }

  int32_t Mission;
  THeadlessMachine Machine;
  TMainForm Form{Machine.Platform};
};

}  // namespace velmora::test
