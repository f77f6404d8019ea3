#include "platform/ScreenSize.h"

#include <gtest/gtest.h>
#include <filesystem>

#include "platform/InstalledData.h"
#include "shell/ShellFixture.h"

namespace velmora {
namespace {

TEST(ScreenSizeChoice, TheLargestWindowThatFitsComfortably) {
  // Free screen (work area), then the window's frame, menu bar and title bar.
  EXPECT_EQ(FittingWindowScale(1920, 1040, 2, 60), 2);  // 1920x1080 with a panel
  EXPECT_EQ(FittingWindowScale(1280, 984, 2, 60), 1);   // 1280x1024: 2x would fill it all
  EXPECT_EQ(FittingWindowScale(1366, 728, 0, 50), 1);
  EXPECT_EQ(FittingWindowScale(2560, 1400, 2, 60), 2);  // 3x is 1440 tall
  EXPECT_EQ(FittingWindowScale(2560, 1600, 2, 60), 3);
  EXPECT_EQ(FittingWindowScale(3840, 2100, 2, 60), 3);  // the menu offers no more
  EXPECT_EQ(FittingWindowScale(800, 600, 2, 60), 1);
  EXPECT_EQ(FittingWindowScale(640, 480, 2, 60), 1);  // too small for anything: 1x all the same
  EXPECT_EQ(FittingWindowScale(0, 0, 0, 0), 1);
  // Exactly at the margin fits, a pixel less does not.
  EXPECT_EQ(FittingWindowScale(1280 + 16, 960 + 60 + 16, 0, 60), 2);
  EXPECT_EQ(FittingWindowScale(1280 + 15, 960 + 60 + 16, 0, 60), 1);
}

TEST(ScreenSizeChoice, FullScreenIsLetterboxedByWholeNumbersWhereTheyFit) {
  // A 1920x1080 screen less its menu bar: 2x, centred.
  EXPECT_EQ(LetterboxRect(1920, 1056), (TScreenRect{320, 48, 1280, 960}));
  EXPECT_EQ(LetterboxRect(1920, 1440), (TScreenRect{0, 0, 1920, 1440}));      // 3x exactly
  EXPECT_EQ(LetterboxRect(3840, 2160), (TScreenRect{640, 120, 2560, 1920}));  // 4x
  EXPECT_EQ(LetterboxRect(640, 480), (TScreenRect{0, 0, 640, 480}));
  EXPECT_EQ(LetterboxRect(1279, 959), (TScreenRect{319, 239, 640, 480}));
  // Smaller than the game: the largest picture of the same shape.
  EXPECT_EQ(LetterboxRect(320, 480), (TScreenRect{0, 120, 320, 240}));
  EXPECT_EQ(LetterboxRect(800, 400), (TScreenRect{133, 0, 533, 400}));
  EXPECT_EQ(LetterboxRect(0, 0), (TScreenRect{0, 0, 0, 0}));
  EXPECT_EQ(LetterboxRect(-5, 100), (TScreenRect{0, 50, 0, 0}));
}

TEST(InstalledDataFolder, FoundBesideTheBinOrGamesFolderOnlyWhenItExists) {
  TTempDir prefix;
  const std::string bin = prefix.Path + "/bin";
  std::filesystem::create_directories(bin);
  EXPECT_EQ(InstalledDataFolder(bin), "");
  EXPECT_EQ(FindDataFolder(bin, "/fallback"), "/fallback");

  std::filesystem::create_directories(prefix.Path + "/share/velmora");
  EXPECT_EQ(InstalledDataFolder(bin), prefix.Path + "/share/velmora");
  EXPECT_EQ(InstalledDataFolder(bin + "/"), prefix.Path + "/share/velmora");
  EXPECT_EQ(FindDataFolder(bin, "/fallback"), prefix.Path + "/share/velmora");
  // Debian's folder for games is one too.
  std::filesystem::create_directories(prefix.Path + "/games");
  EXPECT_EQ(InstalledDataFolder(prefix.Path + "/games"), prefix.Path + "/share/velmora");
  // A folder called otherwise is a build or unpacked copy, whatever lies next to it.
  EXPECT_EQ(InstalledDataFolder(prefix.Path + "/share"), "");
  // Music beside the program wins: a copy run where it was built.
  WriteFile(bin + "/DefMusic.dxw", "x");
  EXPECT_EQ(FindDataFolder(bin, "/fallback"), bin);
}

}  // namespace
}  // namespace velmora
