#include <gtest/gtest.h>

#include "engine/Encoding.h"
#include "engine/MathUtil.h"
#include "engine/Random.h"
#include "platform/headless/Headless.h"

namespace velmora {
namespace {

TEST(RandomTest, FollowsTheLinearCongruentialSequence) {
  RandSeed() = 0;
  EXPECT_EQ(Random(100), 0);  // seed 1: 100 * 1 >> 32
  EXPECT_EQ(RandSeed(), 1u);
  EXPECT_EQ(Random(1000), static_cast<int>((1000ull * 134775814u) >> 32));
  RandSeed() = 0xFFFFFFFF;
  Random(2);
  EXPECT_EQ(RandSeed(), 0xFFFFFFFFu * 134775813u + 1u);  // wraps modulo 2^32
  EXPECT_EQ(Random(0), 0);
  // Draws stay in range over many seeds.
  for (uint32_t s = 0; s < 2000; ++s) {
    RandSeed() = s * 2654435761u;
    const int r = Random(7);
    EXPECT_TRUE(r >= 0 && r < 7);
  }
  THeadlessSystem system;
  system.Now = 4242;
  Randomize(system);
  EXPECT_EQ(RandSeed(), 4242u);
}

TEST(RoundTest, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Round(12.5), 12);
  EXPECT_EQ(Round(13.5), 14);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(3.52), 4);
  EXPECT_EQ(Trunc(-9.7), -9);
}

TEST(EncodingTest, TextFromOutsideIsTakenForWhatItIs) {
  // Japanese UTF-8 has three-byte characters; CP932 half-width katakana pairs can be valid
  // two-byte UTF-8 ("ﾃｽ" is C3 BD) and are still CP932; a byte-order mark decides at once.
  EXPECT_TRUE(IsUtf8Text("テスト ﾃｽ"));
  EXPECT_TRUE(IsUtf8Text("plain"));
  EXPECT_FALSE(IsUtf8Text("\xC3\xBD"));
  EXPECT_EQ(TextFileToUtf8("\xC3\xBD"), "ﾃｽ");
  EXPECT_TRUE(IsUtf8Text("\xEF\xBB\xBF\xC3\xBD"));
  EXPECT_EQ(TextFileToUtf8("\xEF\xBB\xBF\xC3\xBD"), "\xC3\xBD");
  // Valid UTF-8 that no CP932 text can be stays UTF-8 (C3 A0: "à").
  EXPECT_TRUE(IsUtf8Text("voil\xC3\xA0"));
  // Bytes of neither read as "?", one each, the rest as it is.
  int replaced = -1;
  EXPECT_EQ(Cp932ToUtf8Lossy(Utf8ToCp932("作戦") + "\x80x\x81", &replaced), "作戦?x?");
  EXPECT_EQ(replaced, 2);
  EXPECT_EQ(Cp932ToUtf8Lossy(Utf8ToCp932("作戦"), &replaced), "作戦");
  EXPECT_EQ(replaced, 0);
}

TEST(EncodingTest, Cp932RoundTripsAndFallsBackForWindowsFiles) {
  const std::string text = "停止中(ESCで終了) ＭＳ 明朝 ﾃｽﾄ ①";
  const std::string sjis = Utf8ToCp932(text);
  EXPECT_NE(sjis, text);
  EXPECT_EQ(Cp932ToUtf8(sjis), text);
  EXPECT_FALSE(IsValidUtf8(sjis));
  EXPECT_EQ(TextFileToUtf8(sjis), text);
  EXPECT_EQ(TextFileToUtf8(text), text);
  // "表" ends in 0x5C in Shift-JIS: a byte-wise reader must not take it for a backslash.
  EXPECT_EQ(Utf8ToCp932("表"), std::string("\x95\x5c"));
  EXPECT_THROW(Utf8ToCp932("\xF0\x9F\x98\x80"), std::runtime_error);  // no Shift-JIS form
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));                              // overlong
  EXPECT_FALSE(IsValidUtf8("\xE3\x81"));                              // truncated
}

}  // namespace
}  // namespace velmora
