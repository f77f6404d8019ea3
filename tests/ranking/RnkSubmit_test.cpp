#include "ranking/RnkSubmit.h"

#include <gtest/gtest.h>

#include <map>

#include "engine/Encoding.h"
#include "engine/Scrambler.h"
#include "platform/headless/Headless.h"
#include "ranking/TestServer.h"

namespace velmora {
namespace {

using TFields = std::vector<std::string>;

const std::string kOk = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";

// The decoded fields as a server reading the form sees them.
std::map<std::string, std::string> FormOf(const std::string& body) {
  std::map<std::string, std::string> fields;
  for (const auto& [name, value] : DecodeFormBody(body))
    fields[name] = value;
  return fields;
}

std::string BodyOf(const std::string& request) {
  return request.substr(request.find("\r\n\r\n") + 4);
}

TEST(FormEncodingTest, LettersAndFormSyntaxAreEscapedAndEverythingElsePasses) {
  // "Hi & bye" in brackets: the brackets and the full-width ampersand as raw Shift-JIS.
  EXPECT_EQ(EscapeFormValue(MaskAmpersand(Utf8ToCp932("「Hi & bye」"))),
            Utf8ToCp932("「%48%69+＆+%62%79%65」"));
  EXPECT_EQ(EscapeFormValue("09-.,/:;"), "09-.,/:;");
  EXPECT_EQ(EscapeFormValue("A+B 100%=&"), "%41%2B%42+100%25%3D%26");
  EXPECT_EQ(MaskAmpersand("a&&"), "a\x81\x95\x81\x95");
  // What a server decoding forms the usual way reads back is what was typed.
  for (const std::string typed : {"A+B", "100%", "x=y", "%41", "  lead", "ｶﾅ漢字"}) {
    const std::string wire = Utf8ToCp932(typed);
    EXPECT_EQ(DecodeFormValue(EscapeFormValue(MaskAmpersand(wire))), wire) << typed;
  }
  EXPECT_EQ(DecodeFormValue("%zz%4"), "%zz%4");
  EXPECT_EQ(DecodeFormBody("a=1&&b&c=%41+"),
            (std::vector<std::pair<std::string, std::string>>{{"a", "1"}, {"b", ""}, {"c", "A "}}));
}

TEST(FormEncodingTest, TheBodyKeepsItsOrderAndTheCheckFieldsReadBack) {
  THeadlessSystem system;
  system.Computer = "ENGINE-ROOM";
  const std::string body = RankingRequestBody("  Ab", "", "", 0, system);
  EXPECT_EQ(body.substr(0, 31), "name=++%41%62&mail=&hitokoto=&c");
  const auto f = FormOf(body);
  EXPECT_EQ(f.at("score"), "0");
  EXPECT_TRUE(RankingCheckMatches(f.at("code"), "0"));
  EXPECT_FALSE(RankingCheckMatches(f.at("code"), "1"));
  EXPECT_FALSE(RankingCheckMatches("garbage!", "0"));
  EXPECT_EQ(f.at("secinf").substr(f.at("secinf").size() - 8), "@N@N@N@N");
  EXPECT_EQ(UnscrambleText(f.at("secinf").substr(0, f.at("secinf").size() - 8)), "ENGINE-ROOM");
  // A computer name the scrambler cannot take still lets the request go out.
  system.Computer = "\xff\xfe";
  EXPECT_EQ(MachineInfo(system), "ERROR");
}

TEST(EndpointTest, AddressesAreTakenApartOrRefused) {
  const auto e = ParseEndpoint("http://velmora.example/submit");
  ASSERT_TRUE(e);
  EXPECT_EQ(std::tie(e->Tls, e->Host, e->Port, e->Path),
            std::make_tuple(false, std::string("velmora.example"), 80, std::string("/submit")));
  // No address is built in unless the build names one, and never a placeholder.
  EXPECT_TRUE(DefaultEndpointURL().empty() || ParseEndpoint(DefaultEndpointURL()));
  const auto t = ParseEndpoint("HTTPS://[::1]:8443");
  ASSERT_TRUE(t);
  EXPECT_EQ(std::tie(t->Tls, t->Host, t->Port, t->Path),
            std::make_tuple(true, std::string("::1"), 8443, std::string("/")));
  for (const char* bad : {"ftp://x/", "velmora.example", "http://:80/", "http://h:0/",
                          "http://h:99999/", "http://h:8a/", "http://u@h/", "http://a b/"})
    EXPECT_FALSE(ParseEndpoint(bad)) << bad;
}

class SubmitTest : public ::testing::Test {
 protected:
  SubmitTest() { Form.EndpointURL = "http://127.0.0.1:1/submit"; }
  TFields Shown() {
    TFields shown;
    for (const auto& r : M.Dialogs.Log)
      shown.push_back(r.Kind + ":" + r.Text);
    M.Dialogs.Log.clear();
    return shown;
  }
  THeadlessMachine M;
  int32_t Total = 4321;
  TRnkSubmitForm Form{M.Platform, M.RankingDialog, M.RankingTransport, Total};
};

TEST_F(SubmitTest, TheRequestGoesOutByteForByte) {
  TTestServer server(kOk + Utf8ToCp932("CMD_MES,登録しました\r\n"));
  Form.EndpointURL = server.Url("/rank/submit");
  Form.NameEdit = " A+B";
  Form.MailEdit = "a@b.example";
  Form.HitokotoEdit = "Hi & bye";
  Form.SubmitBtnClick();
  EXPECT_EQ(Form.ModalResult, TModalResult::OK);
  EXPECT_EQ(Form.HitokotoEdit, "「Hi & bye」");
  EXPECT_EQ(M.RankingDialog.Exchanges, 1);
  EXPECT_FALSE(M.RankingDialog.Busy);

  const std::string body = BodyOf(server.Request);
  EXPECT_EQ(server.Request,
            "POST /rank/submit HTTP/1.0\r\n"
            "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\n"
            "User-Agent: 40617283\r\n"
            "Host: 127.0.0.1:" +
                std::to_string(server.Port) +
                "\r\n"
                "Content-Length: " +
                std::to_string(body.size()) + "\r\n\r\n" + body);
  EXPECT_EQ(body.substr(0, body.find("&code=") + 6),
            "name=+%41%2B%42&mail=%61@%62.%65%78%61%6D%70%6C%65&hitokoto=" +
                Utf8ToCp932("「%48%69+＆+%62%79%65」") + "&code=");
  const auto f = FormOf(body);
  EXPECT_EQ(f.at("name"), " A+B");
  EXPECT_EQ(f.at("score"), "4321");
  EXPECT_TRUE(RankingCheckMatches(f.at("code"), "4321"));
  EXPECT_EQ(Shown(),
            (TFields{"confirmation:インターネットに接続していますか？（していない場合は「い"
                     "いえ」を選択し、接続してから再試行して下さい。）",
                     "information:登録しました"}));
}

TEST_F(SubmitTest, NothingIsSentWithoutANameOrWithoutAConnection) {
  Form.NameEdit = " \t ";
  Form.HitokotoEdit = "x";
  Form.SubmitBtnClick();
  EXPECT_EQ(Shown(), TFields{"warning:名前が入力されていません。名前は必ず入力してください。"});
  EXPECT_EQ(Form.HitokotoEdit, "x");

  Form.NameEdit = "名前";
  Form.HitokotoEdit = "  ";
  M.Dialogs.Answers = {"no"};
  Form.SubmitBtnClick();
  EXPECT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Form.HitokotoEdit, "  ");  // blank: no brackets
  EXPECT_EQ(M.RankingDialog.Exchanges, 0);

  // A character Shift-JIS has no code for cannot reach the server as typed.
  Form.NameEdit = "名前";
  Form.HitokotoEdit = "やあ😀";
  Form.SubmitBtnClick();
  EXPECT_EQ(Form.HitokotoEdit, "やあ😀");
  EXPECT_EQ(Shown(),
            TFields{"warning:送信できない文字が含まれています。別の文字に置き換えてください。"});
  EXPECT_EQ(M.RankingDialog.Exchanges, 0);
  EXPECT_EQ(Form.ModalResult, TModalResult::None);
}

TEST_F(SubmitTest, FailuresBecomeErrorLinesAndTheDialogStaysOpen) {
  Form.NameEdit = "n";
  const auto error = [&] {
    Form.SubmitBtnClick();
    EXPECT_EQ(Form.ModalResult, TModalResult::None);
    TFields shown = Shown();
    return shown.size() == 2 ? shown[1] : "?";
  };
  {
    // Nobody listens on a port just given back.
    TTestServer closed("");
    Form.EndpointURL = closed.Url();
    closed.Stop = true;
  }
  EXPECT_EQ(error(), "error:エラー : can't connect: Connection refused (Error #111)");
  Form.EndpointURL = "http://no-such-host.invalid/submit";
  EXPECT_EQ(error(), "error:エラー : can't resolve hostname to IP address");
  {
    TTestServer server("HTTP/1.1 404 Not Found\r\n\r\nCMD_MES,not read\r\n");
    Form.EndpointURL = server.Url();
    EXPECT_EQ(error(), "error:エラー : Not Found");
  }
  {
    TTestServer server("CMD_MES,no status line\r\n");
    Form.EndpointURL = server.Url();
    EXPECT_EQ(error(), "error:エラー : no HTTP reply from the server");
  }
  {
    // The server takes the request and says nothing: the abort button ends the wait.
    TTestServer server("", false);
    Form.EndpointURL = server.Url();
    M.RankingTransport.AbortRequested = [&server] { return server.Accepted.load(); };
    EXPECT_EQ(error(), "error:エラー : Connection aborted on request");
    EXPECT_FALSE(M.RankingDialog.Busy);
  }
}

TEST_F(SubmitTest, AnOversizedReplyIsCutAndStillHandled) {
  std::string junk;
  while (junk.size() < 70 * 1024)
    junk += "filler line that is no command at all\r\n";
  TTestServer server(kOk + Utf8ToCp932("CMD_MES,順位は1位です\r\n") + junk +
                     "CMD_ERRMES,beyond the cut\r\n");
  Form.EndpointURL = server.Url();
  Form.NameEdit = "n";
  Form.SubmitBtnClick();
  EXPECT_EQ(Form.ModalResult, TModalResult::OK);
  const TFields shown = Shown();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1], "information:順位は1位です");

  TExchange huge{true, kOk + std::string(200 * 1024, 'x'), ""};
  const auto lines = ReplyLinesOf(huge);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size(), kReplyLimit);
}

TEST_F(SubmitTest, TheHeadlessDialogFillsTheFieldsAndTriesAgainUntilClosed) {
  TTestServer server(kOk + "CMD_MES,ok\r\n");
  Form.EndpointURL = server.Url();
  Form.HitokotoEdit = "left from last time";
  M.Dialogs.Answers = {"rank: |m|c", "ok", "rank:" + std::string(30, 'N') + "|mail|ひとこと",
                       "yes",        "ok", "later"};
  M.RankingDialog.ShowModal(Form);
  EXPECT_EQ(Form.ModalResult, TModalResult::OK);
  EXPECT_EQ(Form.NameEdit, std::string(20, 'N'));
  EXPECT_EQ(Form.HitokotoEdit, "「ひとこと」");
  EXPECT_EQ(M.Dialogs.Answers, std::deque<std::string>{"later"});
  EXPECT_EQ(FormOf(BodyOf(server.Request)).at("mail"), "mail");

  M.Dialogs.Answers = {"later"};
  M.RankingDialog.ShowModal(Form);
  EXPECT_EQ(Form.ModalResult, TModalResult::Cancel);
  EXPECT_EQ(M.Dialogs.Log.back().Answer, "rank:cancel");
  EXPECT_EQ(M.Dialogs.Answers.size(), 1u);
}

}  // namespace
}  // namespace velmora
