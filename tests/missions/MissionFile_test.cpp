#include "missions/MissionFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "engine/Encoding.h"
#include "missions/Appearance.h"
#include "missions/Missions.h"
#include "shell/ShellFixture.h"
#include "sprites/SpawnFlags.h"
#include "sprites/SpriteClasses.h"

namespace velmora {
namespace {

class MissionFileTest : public ShellTest {
 protected:
  ~MissionFileTest() override { ResetSchedule(); }
  std::string Path(const std::string& name = "m.omf") const { return Dir.Path + "/" + name; }
  // The appearance list a play file of these bytes builds.
  const std::vector<TObjectAdvent>& Load(const std::string& bytes) {
    WriteFile(Path(), bytes);
    ResetSchedule();
    LoadMissionFile(Path());
    return AppearanceList;
  }
  static bool IsErrorLine(const TObjectAdvent& r) {
    return r.ClassName == "TMojiSprite" && r.Text == kMissionFileError && r.Param == -1 &&
           r.X == 200 && r.Y == 100 && r.Level == 1 && r.Flags == 0;
  }
  // The failure a one-line file meets, as "line:field".
  static std::string FailureOf(const std::string& line) {
    const TMissionText text = ReadMissionText(line);
    if (!text.Failure) return "none";
    return std::to_string(text.Failure->Line) + ":" + std::to_string(text.Failure->Field);
  }
};

TEST_F(MissionFileTest, FieldsSplitFromTheLeftAndOnlySingleIsOneRecord) {
  // Seven tabs and no flags: valid, with no flags.
  auto list = Load("SINGLE\t5\tMojiSprite\t1\t2\t  見出し \t3\t2\n");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].ClassName, "TMojiSprite");
  EXPECT_EQ(list[0].Text, "見出し");  // trimmed
  EXPECT_EQ(std::tie(list[0].Time, list[0].X, list[0].Y, list[0].Param, list[0].Level),
            std::make_tuple(5, 1, 2, 3, 2));
  EXPECT_EQ(list[0].Flags, 0);
  // Six tabs: the level is empty.
  EXPECT_EQ(FailureOf("SINGLE\t5\tMojiSprite\t1\t2\ttext\t3"), "1:8");
  // Everything after the eighth tab is the flags field, further tabs and all.
  EXPECT_EQ(ReadMissionText("SINGLE\t1\tEnemyF4F\t0\t0\t\t1\t1\tx\tSF_NOFIRE\tSF_NOSMOKE")
                .Records[0]
                .Flags,
            SF_NOFIRE | SF_NOSMOKE);
  std::string_view rest = " a \t b\t";
  EXPECT_EQ(SplitField(rest), "a");
  EXPECT_EQ(rest, " b\t");
  EXPECT_EQ(SplitField(rest), "b");
  EXPECT_EQ(SplitField(rest), "");
  EXPECT_TRUE(rest.empty());

  // A kind in lower case, or none, is a formation: field 7 is its type, text and flags unused.
  for (const char* kind : {"single", "", "W"}) {
    list = Load(std::string(kind) + "\t7\tEnemyF4F\t0\t0\ttext\t11\t1\tSF_STOPADV\n");
    ASSERT_EQ(list.size(), 4u) << kind;
    EXPECT_EQ(std::tie(list[0].Time, list[0].X, list[0].Text, list[0].Flags),
              std::make_tuple(7, 500, std::string("nil"), uint16_t{0}));
  }
}

TEST_F(MissionFileTest, CommentsOnlyAtTheVeryStartAndEveryKindOfLineEnd) {
  const std::string ok = "SINGLE\t1\tMojiSprite\t0\t0\tt\t0\t1";
  const TMissionText text = ReadMissionText("// comment\r\n \t \r" + ok + "\r\r\n" + ok + "\n//x");
  ASSERT_FALSE(text.Failure);
  ASSERT_EQ(text.Records.size(), 2u);
  EXPECT_EQ(text.Records[0].Line, 3);
  EXPECT_EQ(text.Records[1].Line, 5);
  // Spaces before the marker make a record line, which fails on its delay.
  const TMissionText late = ReadMissionText(ok + "\n  // not a comment\n" + ok);
  ASSERT_TRUE(late.Failure);
  EXPECT_EQ(std::tie(late.Failure->Line, late.Failure->Field), std::make_tuple(2, 2));
  EXPECT_EQ(late.Records.size(), 1u);
}

TEST_F(MissionFileTest, IntegersTakeASignOrOneOfTheHexPrefixes) {
  for (const char* v : {"31", "+31", "031", "$1F", "x1f", "X1F", "0x1F", "0X1f", "$0000001F"})
    EXPECT_EQ(MissionInteger(v), 31) << v;
  EXPECT_EQ(MissionInteger("$FFFFFFFF"), -1);
  EXPECT_EQ(MissionInteger("0x80000000"), INT32_MIN);
  EXPECT_EQ(MissionInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(MissionInteger("2147483647"), INT32_MAX);
  for (const char* v : {"-$1F", "1F", "", "+", "-", "$", "0x", "$123456789", "2147483648",
                        "-2147483649", "99999999999999999999", "1 2", "1.0", "３", "0b1"})
    EXPECT_EQ(MissionInteger(v), std::nullopt) << v;
  // Surrounding spaces belong to the field separator, not to the number.
  EXPECT_EQ(ReadMissionText("SINGLE\t 0x1F \tEnemyF4F\t0\t0\t\t1\t1").Records.at(0).Delay, 31);
}

TEST_F(MissionFileTest, FlagAndClassKeywordsMatchExactlyInTheirCase) {
  EXPECT_EQ(MissionFlags("SF_NOFIRE,SF_NOSMOKE"), SF_NOFIRE | SF_NOSMOKE);
  EXPECT_EQ(MissionFlags("SF_NOFIRESF_NOSMOKE"), SF_NOFIRE | SF_NOSMOKE);
  EXPECT_EQ(MissionFlags("SF_STOPADV SF_STOPADV nil"), SF_STOPADV);
  EXPECT_EQ(MissionFlags("sf_nofire SF_NoSmoke"), 0);
  EXPECT_EQ(MissionFlags("SF_ENEMYADV SF_STOPADV SF_HighSpeed SF_LowSpeed SF_HighPower "
                         "SF_WideMove SF_TIMING1 SF_TIMING2 SF_TIMING3 SF_WORTHLESS "
                         "SF_ENDINGOBJ SF_NOFIRE SF_NOSMOKE"),
            0x1FFF);

  EXPECT_EQ(MissionClassName("EnemyF4F_S"), "TEnemyF4F_S");
  EXPECT_EQ(MissionClassName("CyoukanIssiki"), "TCyoukanIssiki");
  for (const char* stray : {"EnemyB29", "enemyf4f", "ENEMYF4F", "TEnemyF4F", "", "Player"})
    EXPECT_EQ(MissionClassName(stray), "TEnemyRuko") << stray;
}

// Needs the joke target and the commander's plane in the class registry.
TEST_F(MissionFileTest, EveryClassKeywordCreatesItsClass) {
  for (const char* keyword :
       {"EventSprite",     "MojiSprite",     "TitleSprite",   "CyoukanIssiki", "Issiki",
        "EnemyRuko",       "EnemyP40",       "EnemyP39",      "EnemyP36",      "EnemyF4F",
        "EnemyF6F",        "EnemyP38",       "EnemyC47",      "EnemyPBY",      "EnemyLSM",
        "EnemyLCI",        "EnemyDestroyer", "EnemyMissouri", "Enemy30cm",     "EnemyAABomb",
        "EnemyEnterprise", "EnemyF4F_E",     "EnemyF4F_S",    "EnemySBD",      "EnemyB17",
        "EnemyB26",        "EnemyTBM"}) {
    EXPECT_TRUE(IsMissionClassKeyword(keyword)) << keyword;
    EXPECT_NE(FindSpriteClass(MissionClassName(keyword)), nullptr) << keyword;
  }
  const auto& list = Load("SINGLE\t0\tEnemyB29\t0\t0\t\t4\t1\n");
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].ClassName, "TEnemyRuko");
}

TEST_F(MissionFileTest, AFailureKeepsTheLinesBeforeItAndShowsTheErrorOneFrameLater) {
  std::string file;
  for (int i = 1; i <= 9; ++i)
    file += "SINGLE\t" + std::to_string(i * 10) + "\tMojiSprite\t0\t0\tline\t0\t1\n";
  file += "SINGLE\t10\tMojiSprite\tleft\t0\tbad\t0\t1\nSINGLE\t1\tMojiSprite\t0\t0\tnever\t0\t1\n";
  const auto& list = Load(file);
  ASSERT_EQ(list.size(), 10u);
  EXPECT_EQ(list[8].Time, 450);
  EXPECT_EQ(list[8].Text, "line");
  EXPECT_TRUE(IsErrorLine(list[9]));
  EXPECT_EQ(list[9].Time, 451);
  const TMissionFailure failure = *ReadMissionFile(Path()).Failure;
  EXPECT_EQ(std::tie(failure.Line, failure.Field, failure.Reason),
            std::make_tuple(10, 4, std::string("x \"left\" is not an integer")));

  // What cannot be read at all shows the error line alone, one frame in; a FIFO chosen by
  // mistake is refused rather than waited on.
  ASSERT_EQ(::mkfifo(Path("fifo.omf").c_str(), 0600), 0);
  for (const char* name : {"none.omf", "fifo.omf", ""}) {
    ResetSchedule();
    LoadMissionFile(Path(name));
    ASSERT_EQ(AppearanceList.size(), 1u) << name;
    EXPECT_TRUE(IsErrorLine(AppearanceList[0]));
    EXPECT_EQ(AppearanceList[0].Time, 1);
  }
}

TEST_F(MissionFileTest, TheScenesAroundPlayReadTheSiblingsAndAMissingOneShowsOnlyTheError) {
  const std::string line = "SINGLE\t1\tMojiSprite\t200\t100\t";
  WriteFile(Path("op.omf"), line + "play\t-1\t1\n");
  WriteFile(Path("op.bfg"), line + "briefing\t-1\t1\n");
  WriteFile(Path("op.tle"), line + "title\t-1\t1\n");
  Start();
  Button();
  Answer({"file:" + Path("op.omf")});
  Choose("LoadCustomMission");
  ASSERT_EQ(Form->SceneState, ssBriefing);
  ASSERT_EQ(AppearanceList.size(), 1u);
  EXPECT_EQ(AppearanceList[0].Text, "briefing");
  const std::pair<TSceneState, const char*> kScenes[] = {
      {ssMissionTitle, "title"}, {ssPlay, "play"}, {ssResult, kMissionFileError}};
  for (const auto& [scene, text] : kScenes) {
    Form->SetScene(scene);
    ASSERT_EQ(AppearanceList.size(), 1u) << text;
    EXPECT_EQ(AppearanceList[0].Text, text);
  }
  EXPECT_EQ(MissionSiblingPath("a.b/op.omf", ".edg"), "a.b/op.edg");
  EXPECT_EQ(MissionSiblingPath("a.b/op", ".edg"), "a.b/op.edg");
  EXPECT_EQ(MissionSiblingPath("op.x.omf", ".tle"), "op.x.tle");
}

TEST_F(MissionFileTest, UTF8AndShiftJISFilesReadAlikeAndOversizedOnesAreRefused) {
  const std::string utf8 = "SINGLE\t1\tMojiSprite\t0\t0\t作戦成功　ミッドウェー\t-1\t1\r\n";
  const TMissionText fromUtf8 = ReadMissionText(utf8);
  const TMissionText fromCp932 = ReadMissionText(Utf8ToCp932(utf8));
  const TMissionText withMark = ReadMissionText("\xEF\xBB\xBF" + utf8);
  ASSERT_EQ(fromUtf8.Records.size(), 1u);
  ASSERT_EQ(fromCp932.Records.size(), 1u);
  ASSERT_EQ(withMark.Records.size(), 1u);
  EXPECT_EQ(fromCp932.Records[0].Text, fromUtf8.Records[0].Text);
  EXPECT_EQ(withMark.Records[0].Text, fromUtf8.Records[0].Text);
  // A mark before a comment still leaves a comment.
  EXPECT_FALSE(ReadMissionText("\xEF\xBB\xBF// note\n" + utf8).Failure);
  // Bytes that are neither read as "?", and the next lines still count.
  const TMissionText stray = ReadMissionText(Utf8ToCp932(utf8) +
                                             "SINGLE\t1\tMojiSprite\t0\t0\ta\x80"
                                             "b\t-1\t1\n"
                                             "SINGLE\t1\tMojiSprite\t0\t0\t\x81\t-1\t1\n" +
                                             Utf8ToCp932(utf8));
  EXPECT_FALSE(stray.Failure);
  ASSERT_EQ(stray.Records.size(), 4u);
  EXPECT_EQ(stray.Records[1].Text, "a?b");
  EXPECT_EQ(stray.Records[2].Text, "?");
  EXPECT_EQ(stray.Records[3].Text, fromUtf8.Records[0].Text);
  ASSERT_EQ(stray.Warnings.size(), 2u);
  EXPECT_EQ(std::tie(stray.Warnings[1].Line, stray.Warnings[1].Field), std::make_tuple(3, 6));
  // Half-width katakana alone ("ﾃｽ" is C3 BD, valid two-byte UTF-8 too) are Shift-JIS;
  // Japanese in UTF-8 has three-byte characters, and a byte-order mark settles it.
  EXPECT_EQ(ReadMissionText("SINGLE\t1\tMojiSprite\t0\t0\t\xC3\xBD\t-1\t1").Records[0].Text, "ﾃｽ");
  EXPECT_EQ(ReadMissionText("SINGLE\t1\tMojiSprite\t0\t0\tﾃｽト\t-1\t1").Records[0].Text, "ﾃｽト");
  EXPECT_EQ(
      ReadMissionText("\xEF\xBB\xBFSINGLE\t1\tMojiSprite\t0\t0\t\xC3\xBD\t-1\t1").Records[0].Text,
      "\xC3\xBD");

  // One byte over the limit: refused on the first line without reading further.
  WriteFile(Path(), utf8 + std::string(kMissionFileLimit + 1 - utf8.size(), ' '));
  const TMissionText big = ReadMissionFile(Path());
  EXPECT_TRUE(big.Records.empty());
  ASSERT_TRUE(big.Failure);
  EXPECT_EQ(big.Failure->Line, 1);
  WriteFile(Path(), utf8 + std::string(kMissionFileLimit - utf8.size(), ' '));
  EXPECT_FALSE(ReadMissionFile(Path()).Failure);
}

TEST_F(MissionFileTest, TheCheckerReportsWhatStopsTheReadingAndWhatIsSurelyAMistake) {
  WriteFile(Path("c.omf"),
            "// a mission with slips\n"
            "W\t-5\tEnemyF4F\t0\t0\t\t17\t0\tSF_STOPADV\n"
            "SINGLE\t1\tEnemyB29\t0\t0\t\t-2\t4\tSF_NOFIRESF_NOSMOKE, sf_nosmoke\n"
            "SINGLE\t1\tEventSprite\t0\t0\t\t3\t2\n");
  WriteFile(Path("c.bfg"), "SINGLE\t1\tMojiSprite\t0\t0\tok\t2\t1\n");
  WriteFile(Path("c.tle"), "SINGLE\t1\tMojiSprite\t0\t0\tok\t2\t1\n\nSINGLE\t\tMojiSprite\n");
  const TMissionCheck check = CheckMissionFiles(Path("c.omf"));
  const std::string omf = Path("c.omf"), tle = Path("c.tle"), edg = Path("c.edg");
  std::vector<std::string> texts;
  for (const TMissionFinding& f : check.Findings)
    texts.push_back((f.Warning ? "W " : "E ") + f.Text);
  EXPECT_EQ(
      texts,
      (std::vector<std::string>{
          "W " + omf + ":2: field 2: warning: negative delay -5 puts it before the line above",
          "W " + omf + ":2: field 7: warning: formation type 17 is outside -1 ... 16: no planes",
          "W " + omf + ":2: field 8: warning: level 0 appears on every difficulty",
          "W " + omf +
              ":2: field 9: warning: formation lines take no flags: \"SF_STOPADV\" is "
              "ignored",
          "W " + omf +
              ":3: field 3: warning: \"EnemyB29\" is no class keyword (they are "
              "case-sensitive): the joke target TEnemyRuko appears instead",
          "W " + omf + ":3: field 8: warning: level 4 never appears",
          "W " + omf +
              ":3: field 9: warning: \"sf_nosmoke\" is no flag keyword (they are "
              "case-sensitive)",
          "W " + omf + ": warning: the mission ends only from level 2 up",
          "E " + tle + ":3: field 2: delay is empty",
          "W " + edg + ": warning: missing: its screen shows only \"" + kMissionFileError + "\"",
      }));
  EXPECT_EQ(check.FilesReadThrough, 2);

  EXPECT_EQ(
      CheckMissionText("x.omf", ReadMissionText("SINGLE\t1\tEventSprite\t0\t0\tBGM1\t1\t1"), true)
          .back()
          .Text,
      "x.omf: warning: no EventSprite line with param 3: the mission never ends by itself");
  EXPECT_EQ(CheckMissionFiles(Path("absent.omf")).Findings.at(0).Text,
            Path("absent.omf") + ": cannot be opened");
}

TEST_F(MissionFileTest, TheChosenFileAndItsSiblingsAreFoundAsTheyLie) {
  // A chosen file without an extension is itself when it exists ...
  WriteFile(Path("noext"), "");
  WriteFile(Path("noext.omf"), "");
  EXPECT_EQ(ChosenMissionFile(Path("noext")), Path("noext"));
  // ... else "NAME.omf" when that exists, else as chosen.
  WriteFile(Path("typed.omf"), "");
  EXPECT_EQ(ChosenMissionFile(Path("typed")), Path("typed.omf"));
  EXPECT_EQ(ChosenMissionFile(Path("nothing")), Path("nothing"));
  EXPECT_EQ(ChosenMissionFile(Path("typed.txt")), Path("typed.txt"));
  // Siblings in any case of the extension, the exact name first.
  for (const char* name : {"UP.OMF", "UP.BFG", "UP.Tle", "UP.edg", "UP.tle"})
    WriteFile(Path(name), "SINGLE\t1\tMojiSprite\t0\t0\tx\t-1\t1\n");
  EXPECT_EQ(FindMissionSibling(Path("UP.OMF"), ".bfg"), Path("UP.BFG"));
  EXPECT_EQ(FindMissionSibling(Path("UP.OMF"), ".tle"), Path("UP.tle"));
  EXPECT_EQ(FindMissionSibling(Path("UP.OMF"), ".edg"), Path("UP.edg"));
  EXPECT_EQ(FindMissionSibling(Path("UP.OMF"), ".xyz"), Path("UP.xyz"));
  EXPECT_EQ(CheckMissionFiles(Path("UP.OMF")).FilesReadThrough, 4);
}

TEST_F(MissionFileTest, TheCheckerNamesWhatTheGameStopsOnAndDelaysThatWrap) {
  const TMissionText text = ReadMissionText(
      "SINGLE\t1\tEventSprite\t0\t0\tfast\t4\t1\n"     // no scroll speed
      "SINGLE\t1\tEventSprite\t0\t0\t8\t4\t1\n"        // a good one
      "SINGLE\t1\tEventSprite\t0\t0\tBGM9\t1\t1\n"     // no such tune
      "SINGLE\t1\tEventSprite\t0\t0\tDOWN0\t2\t1\n"    // no such fade
      "SINGLE\t1\tEventSprite\t0\t0\tDOWN500\t2\t1\n"  // a good one
      "SINGLE\t2147483647\tMojiSprite\t0\t0\tx\t-1\t1\n"
      "SINGLE\t1\tEventSprite\t0\t0\tnil\t3\t1\n");
  std::vector<std::string> errors, warnings;
  for (const TMissionFinding& f : CheckMissionText("m.omf", text, true))
    (f.Warning ? warnings : errors).push_back(f.Text);
  EXPECT_EQ(errors, (std::vector<std::string>{
                        "m.omf:1: field 6: scroll speed \"fast\" is not a whole number: the "
                        "game stops with an error here",
                        "m.omf:3: field 6: \"BGM9\" is no music command (NONE, STOP, DOWN500 ... "
                        "DOWN2500, BGM1 ... BGM5, BOSS): the game stops with an error here",
                        "m.omf:4: field 6: \"DOWN0\" is no music command (NONE, STOP, DOWN500 "
                        "... DOWN2500, BGM1 ... BGM5, BOSS): the game stops with an error here"}));
  EXPECT_EQ(warnings, (std::vector<std::string>{
                          "m.omf:6: field 2: warning: the delays add up past the 32-bit range "
                          "here: the schedule's time wraps round"}));
  // The game keeps the wrap, in defined arithmetic: the record comes round to the start.
  ResetSchedule();
  AppendMissionRecords(text);
  EXPECT_EQ(AppearanceList[5].Time, static_cast<int32_t>(5u + 2147483647u));
  EXPECT_EQ(AppearanceList[6].Time, static_cast<int32_t>(6u + 2147483647u));
}

TEST_F(MissionFileTest, TheFileDialogOpensWhereMissionsAre) {
  const std::string program = Path("program"), data = Path("data");
  std::filesystem::create_directories(program);
  std::filesystem::create_directories(data + "/examples");
  EXPECT_EQ(MissionDialogFolder(program, data), program);  // none anywhere
  WriteFile(data + "/x.OMF", "");
  EXPECT_EQ(MissionDialogFolder(program, data), data);
  WriteFile(data + "/examples/sample.omf", "");
  EXPECT_EQ(MissionDialogFolder(program, data), data + "/examples");
  WriteFile(program + "/mine.omf", "");
  EXPECT_EQ(MissionDialogFolder(program, data), program);
}

}  // namespace
}  // namespace velmora
