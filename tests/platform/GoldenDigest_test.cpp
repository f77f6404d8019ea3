// The golden digest must catch any change of a run and name where it first shows.
#include <gtest/gtest.h>

#include <sstream>

#include "platform/headless/SimTrace.h"

namespace velmora {
namespace {

TTraceFrame Frame(int n, int score, double x, int frameCount) {
  TTraceFrame f;
  f.Frame = n;
  f.Record = {{"scene", "\"play\"", true},
              {"FrameCount", std::to_string(frameCount), true},
              {"Score", std::to_string(score), true}};
  f.RandomSeed = std::to_string(1000 + n);
  f.SpriteCount = "1";
  TTraceSprite s;
  s.Serial = 7;
  s.Class = "TEnemyF4F";
  s.X = x;
  s.Y = 10;
  f.Sprites.push_back(s);
  return f;
}

// A run of 50 frames whose counter stands still for a while, as while a boss holds the
// schedule; `change` alters one thing at frame 30.
std::string PlayRun(TGoldenDigest& digest, const std::string& change = "", int frames = 50) {
  for (int n = 1; n <= frames; ++n) {
    const int count = n < 20 ? n : n < 35 ? 20 : n - 15;
    TTraceFrame f = Frame(n, n >= 25 ? 100 : 0, 0.5 * n, count);
    if (n == 30 && change == "score") f.Record[2].Value = "101";
    if (n == 30 && change == "x") f.Sprites[0].X += 1;
    if (n == 30 && change == "seed") f.RandomSeed = "1";
    if (n == 30 && change == "count") f.Record[1].Value = "21";
    digest.Add(f);
  }
  std::ostringstream out;
  digest.Write(out);
  return out.str();
}

TEST(GoldenDigest, SameRunMatchesAndEveryChangeIsNamedAtItsFrame) {
  TGoldenDigest golden;
  const std::string written = PlayRun(golden);
  // The standing counter costs two lines (it stops, it goes on), not one a frame.
  EXPECT_NE(written.find("\n1 FrameCount=1\n"), std::string::npos) << written;
  EXPECT_NE(written.find("\n21 FrameCount=20\n25 Score=100\n36 FrameCount=21\nhashes\n"),
            std::string::npos)
      << written;

  const auto compare = [&](const std::string& change, int frames = 50) {
    std::istringstream in(written);
    TGoldenDigest again;
    again.Expect(in);
    PlayRun(again, change, frames);
    return again.Difference();
  };
  EXPECT_EQ(compare(""), "");
  EXPECT_EQ(compare("score"), "frame 30: Score is 101, the golden run had 100");
  EXPECT_EQ(compare("count"), "frame 30: FrameCount is 21, the golden run had 20");
  EXPECT_NE(compare("x").find("frame 30: the sprites' positions"), std::string::npos);
  EXPECT_NE(compare("x").find("\"X\":16"), std::string::npos) << "shows the frame as it is now";
  EXPECT_EQ(
      compare("seed"),
      "frame 30: the random generator's seed differ from the golden run; this frame now:\n" + [] {
        std::ostringstream line;
        TTraceFrame f = Frame(30, 100, 15, 20);
        WriteTraceLine(line, f);
        return line.str();
      }());
  EXPECT_EQ(compare("", 40), "the run ended after 40 frames, the golden run after 50");
  EXPECT_EQ(compare("", 51), "frame 51: the golden run had ended after 50 frames");
}

TEST(GoldenDigest, RefusesWhatIsNotADigest) {
  for (const std::string bad :
       {"frames 2\nhashes\nAAAA\n", "frames 1\nchanges\nScore 5\n", "hello\n"}) {
    std::istringstream in(bad);
    TGoldenDigest digest;
    EXPECT_THROW(digest.Expect(in), std::runtime_error) << bad;
  }
}

}  // namespace
}  // namespace velmora
