#include "ranking/ReplyCommands.h"

#include <gtest/gtest.h>

#include "platform/headless/Headless.h"

namespace velmora {
namespace {

using TFields = std::vector<std::string>;

TFields Split(const std::string& line) {
  TCSVStringInfo s;
  s.SetSourceString(line);
  return s.FieldList();
}

TEST(CSVStringInfoTest, SplitsAsTheServerWritesAndNeverUnescapes) {
  EXPECT_EQ(Split("a,"), TFields{"a"});
  EXPECT_EQ(Split("a,,b"), (TFields{"a", "", "b"}));
  EXPECT_EQ(Split("\"a\""), TFields{"a"});
  EXPECT_EQ(Split("\"a\"b,c"), TFields{"a\"b,c"});
  EXPECT_EQ(Split("CMD_ERRMES,\"x, y\",z"), (TFields{"CMD_ERRMES", "x, y", "z"}));
  EXPECT_EQ(Split("\"a\"\"b\", c "), (TFields{"a\"\"b", " c "}));
  EXPECT_EQ(Split("\"\",b"), (TFields{"", "b"}));

  TCSVStringInfo s;
  EXPECT_TRUE(s.Error());
  s.SetSourceString("x");
  EXPECT_FALSE(s.Error());
  s.SetSourceString("");
  EXPECT_TRUE(s.Error());
  EXPECT_TRUE(s.FieldList().empty());
}

TEST(ReplyLinesTest, AnyLineBreakSplitsAndAFinalOneAddsNoLine) {
  EXPECT_EQ(SplitReplyLines("a\r\nb\nc\rd\r\n"), (TFields{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitReplyLines("a\n\nb"), (TFields{"a", "", "b"}));
  EXPECT_TRUE(SplitReplyLines("").empty());
  // Shift-JIS on the wire, UTF-8 inside; a reply in UTF-8 is read as such.
  EXPECT_EQ(ReplyTextToUtf8("\x83\x65\x83\x58\x83\x67"), "テスト");
  EXPECT_EQ(ReplyTextToUtf8("テスト"), "テスト");
  // Half-width katakana on the wire are Shift-JIS though they look like UTF-8; a byte of
  // neither is "?" and costs nothing else.
  EXPECT_EQ(ReplyTextToUtf8("CMD_MES,\xC3\xBD"), "CMD_MES,ﾃｽ");
  EXPECT_EQ(ReplyTextToUtf8("\x83\x65\x80\x83\x67"), "テ?ト");
}

class ReplyCommandsTest : public ::testing::Test {
 protected:
  // The boxes shown, as "kind:text".
  TFields Run(const TFields& lines) {
    Closes = RunReplyCommands(lines, Splitter, Dialogs, System);
    TFields shown;
    for (const auto& r : Dialogs.Log)
      shown.push_back(r.Kind + ":" + (r.Kind == "input" ? r.Caption + "/" + r.Text : r.Text));
    Dialogs.Log.clear();
    return shown;
  }

  THeadlessDialogs Dialogs;
  THeadlessSystem System;
  TCSVStringInfo Splitter;
  bool Closes = false;
};

TEST_F(ReplyCommandsTest, CommandsRunInOrderAndAMessageClosesTheDialogAfterTheRest) {
  Dialogs.Answers = {"ok", "ok", "text:typed", "yes"};
  EXPECT_EQ(Run({"CMD_MES,登録しました", "CMD_ERRMES,\"a, b\"", "CMD_INPUT,題,問い,初め",
                 "CMD_URLOPEN,見ますか？,http://127.0.0.1/", "CMD_ERRMES,after"}),
            (TFields{"information:登録しました", "error:a, b", "input:題/問い",
                     "confirmation:見ますか？", "error:after"}));
  EXPECT_TRUE(Closes);
  EXPECT_EQ(System.OpenedUrls, TFields{"http://127.0.0.1/"});

  // Unquoted, the error text is cut at its comma; without CMD_MES the dialog stays.
  EXPECT_EQ(Run({"CMD_ERRMES,a, b"}), TFields{"error:a"});
  EXPECT_FALSE(Closes);
}

TEST_F(ReplyCommandsTest, AnEmptyLineStopsAndAReplyWithoutCommandsSaysSo) {
  EXPECT_EQ(Run({"CMD_MES,one", "", "CMD_ERRMES,two"}), TFields{"information:one"});
  EXPECT_TRUE(Closes);
  const TFields none{"error:有効なデーターが含まれていません。"};
  EXPECT_EQ(Run({}), none);
  EXPECT_EQ(Run({"", "CMD_MES,x"}), none);
  EXPECT_EQ(Run({"cmd_mes,x", "Cmd_ErrMes,y", "<html>"}), none);
  EXPECT_FALSE(Closes);
}

TEST_F(ReplyCommandsTest, AMissingFieldStopsWithItsIndex) {
  const auto index = [](int n) {
    return "error:リストのインデックスが範囲を超えています (" + std::to_string(n) + ")";
  };
  EXPECT_EQ(Run({"CMD_MES", "CMD_ERRMES,not shown"}), TFields{index(1)});
  EXPECT_FALSE(Closes);
  EXPECT_EQ(Run({"CMD_MES,ok", "CMD_ERRMES,"}), (TFields{"information:ok", index(1)}));
  EXPECT_TRUE(Closes);
  // The input box reads its initial text first.
  EXPECT_EQ(Run({"CMD_INPUT,a,b"}), TFields{index(3)});
  // The address is read only after Yes.
  Dialogs.Answers = {"no"};
  EXPECT_EQ(Run({"CMD_URLOPEN,q"}), TFields{"confirmation:q"});
  Dialogs.Answers = {"yes"};
  EXPECT_EQ(Run({"CMD_URLOPEN,q"}), (TFields{"confirmation:q", index(2)}));
  EXPECT_TRUE(System.OpenedUrls.empty());
}

TEST_F(ReplyCommandsTest, OnlyWebAddressesAreOpened) {
  Dialogs.Answers = {"yes", "ok", "yes", "ok", "yes"};
  const TFields shown = Run({"CMD_URLOPEN,q,file:///etc/passwd", "CMD_URLOPEN,q,/usr/bin/xterm",
                             "CMD_URLOPEN,q,HTTPS://example.org/"});
  EXPECT_EQ(shown[1], "error:このアドレスは開けません：file:///etc/passwd");
  EXPECT_EQ(System.OpenedUrls, TFields{"HTTPS://example.org/"});
}

}  // namespace
}  // namespace velmora
