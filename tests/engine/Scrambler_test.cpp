#include "engine/Scrambler.h"

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "engine/Encoding.h"
#include "platform/headless/Headless.h"

namespace velmora {
namespace {

TEST(Scrambler, NeverTheSameTextTwiceYetAlwaysBackToTheBytes) {
  THeadlessSystem clock;  // a clock that never moves: the worst case
  std::string bytes;
  for (int b = 0; b < 256; ++b)
    bytes += static_cast<char>(b);
  for (const std::string& text : {std::string(), std::string("1234567890N"),
                                  Utf8ToCp932("大本営の危機（５面）ｽｺｱ"), bytes + "x"}) {
    std::string previous = "?";
    for (int i = 0; i < 25; ++i) {
      const std::string scrambled = ScrambleText(text, clock);
      EXPECT_NE(scrambled, previous);
      EXPECT_EQ(UnscrambleText(scrambled), text);
      EXPECT_EQ(UnscrambleText(UnscrambleText(ScrambleText(scrambled, clock))), text);
      for (char c : scrambled)  // safe in a settings file and a form field
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '_') << scrambled;
      previous = scrambled;
    }
  }
  std::set<char> keys;  // with a running clock all ten keys come up
  for (int i = 0; i < 300; ++i, clock.Now += 7)
    keys.insert(ScrambleText("1", clock)[0]);
  EXPECT_EQ(keys, (std::set<char>{'d', 'e', 'f', 'g', 'h', 'i', 'j', 'k', 'l', 'm'}));
  // A Shift-JIS lead byte left alone at the end is completed with a space.
  EXPECT_EQ(UnscrambleText(ScrambleTextWithKey("a\x93", 100)), "a\x93 ");
}

TEST(Scrambler, TextsNoScrambleCouldGiveAreRefused) {
  const std::string good = ScrambleTextWithKey("12345", 103);
  for (const std::string& bad : {"z" + good.substr(1), good + "#", good.substr(0, 1) + "999"})
    EXPECT_THROW(UnscrambleText(bad), std::runtime_error) << bad;
}

}  // namespace
}  // namespace velmora
