// The ranking dialog, the wait window and the Qt connection, on Qt's offscreen platform,
// against a one-connection server on 127.0.0.1.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSslSocket>
#include <QTimer>

#include "../ranking/TestServer.h"
#include "engine/Encoding.h"
#include "platform/headless/Headless.h"
#include "platform/qt/QtRanking.h"
#include "ranking/RnkSubmit.h"

namespace velmora {
namespace {

const std::string kOk = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n\r\n";

TEndpoint Local(int port) {
  return *ParseEndpoint("http://127.0.0.1:" + std::to_string(port) + "/submit");
}

TEST(QtRankingTransport, SendsTheBytesAsTheyAreAndReadsToTheEnd) {
  TWaitForm wait;
  TQtRankingTransport transport(wait);
  TTestServer server(kOk + "CMD_MES,x\r\n");
  const std::string request = RankingRequest(Local(server.Port), "name=%41&score=1");
  const TExchange e = transport.Exchange(Local(server.Port), request, 100);
  EXPECT_TRUE(e.Ok) << e.Error;
  EXPECT_EQ(server.Request, request);
  EXPECT_EQ(e.Response, kOk + "CMD_MES,x\r\n");
  EXPECT_FALSE(wait.isVisible());

  // A reply beyond the limit is cut there.
  TTestServer big(kOk + std::string(100000, 'x'));
  EXPECT_EQ(transport.Exchange(Local(big.Port), request, 1000).Response.size(), 1000u);
}

TEST(QtRankingTransport, AnHttpsAddressIsSpokenToInTls) {
  if (!QSslSocket::supportsSsl()) GTEST_SKIP() << "no TLS on this machine";
  TWaitForm wait;
  TQtRankingTransport transport(wait);
  // A plain server sees a TLS greeting, never the request in the clear, and the client
  // reports the failed handshake as a connection failure.
  TTestServer plain("not TLS at all\r\n\r\n", true, false);
  TEndpoint endpoint = Local(plain.Port);
  endpoint.Tls = true;
  const TExchange e = transport.Exchange(endpoint, RankingRequest(endpoint, "name=x"), 100);
  EXPECT_FALSE(e.Ok);
  EXPECT_EQ(e.Error.rfind("can't connect: ", 0), 0u) << e.Error;
  ASSERT_FALSE(plain.Request.empty());
  EXPECT_EQ(plain.Request[0], '\x16');  // a TLS handshake record
  EXPECT_EQ(plain.Request.find("POST"), std::string::npos);
}

TEST(QtRankingTransport, FailuresAndTheAbortButtonGiveTheirReasons) {
  TWaitForm wait;
  TQtRankingTransport transport(wait);
  int port = 0;
  {
    TTestServer closed("");
    port = closed.Port;
    closed.Stop = true;
  }
  EXPECT_EQ(transport.Exchange(Local(port), "x", 100).Error,
            "can't connect: Connection refused (Error #111)");
  EXPECT_EQ(transport.Exchange(*ParseEndpoint("http://no-such-host.invalid/"), "x", 100).Error,
            "can't resolve hostname to IP address");

  TTestServer silent("", false);
  QTimer press;
  QObject::connect(&press, &QTimer::timeout, [&] {
    if (silent.Accepted && wait.isVisible()) wait.WaitAbort->click();
  });
  press.start(10);
  const TExchange e = transport.Exchange(Local(silent.Port), "x", 100);
  EXPECT_FALSE(e.Ok);
  EXPECT_EQ(e.Error, "Connection aborted on request");
  EXPECT_FALSE(wait.isVisible());
}

TEST(QtRankingDialog, SendsWhatWasTypedAndClosesOnTheServersMessage) {
  THeadlessMachine m;
  TRnkSubmitDialog dialog;
  TWaitForm wait;
  TQtRankingTransport transport(wait);
  TPlatform platform{m.Display, m.Input, m.Sound, m.Dialogs, m.System, dialog, transport};
  int32_t total = 98765;
  TRnkSubmitForm form(platform, dialog, transport, total);
  TTestServer server(kOk + Utf8ToCp932("CMD_MES,登録しました\r\n"));
  form.EndpointURL = server.Url();
  form.Label5 = "全面クリアランキングに参加";
  form.NameEdit = "提督";
  form.HitokotoEdit = "old";
  EXPECT_EQ(dialog.NameEdit->maxLength(), 20);
  EXPECT_EQ(dialog.MailEdit->maxLength(), 40);
  EXPECT_EQ(dialog.size(), QSize(413, 329));
  EXPECT_EQ(wait.size(), QSize(311, 75));

  QTimer::singleShot(0, [&] {
    EXPECT_EQ(dialog.Label4->text(), "98765");
    EXPECT_EQ(dialog.HitokotoEdit->text(), "");  // emptied for a new submission
    EXPECT_EQ(dialog.NameEdit->text(), "提督");
    dialog.MailEdit->setText("a@b");
    dialog.HitokotoEdit->setText("やあ");
    dialog.SubmitBtn->click();
  });
  dialog.ShowModal(form);
  EXPECT_EQ(form.ModalResult, TModalResult::OK);
  EXPECT_EQ(form.MailEdit, "a@b");
  EXPECT_EQ(form.HitokotoEdit, "「やあ」");
  EXPECT_TRUE(dialog.isEnabled());
  ASSERT_FALSE(m.Dialogs.Log.empty());
  EXPECT_EQ(m.Dialogs.Log.back().Text, "登録しました");
  const auto fields = DecodeFormBody(server.Request.substr(server.Request.find("\r\n\r\n") + 4));
  EXPECT_EQ(fields[0].second, Utf8ToCp932("提督"));
  EXPECT_EQ(fields[5].second, "98765");

  // While the server is silent the wait window takes the clicks; its abort button ends the
  // wait and the dialog stays open for another try.
  TTestServer silent("", false);
  form.EndpointURL = silent.Url();
  bool waitWasModal = false;
  QTimer press;
  QObject::connect(&press, &QTimer::timeout, [&] {
    if (!silent.Accepted || !wait.isVisible()) return;
    waitWasModal = QApplication::activeModalWidget() == &wait && !dialog.isEnabled();
    wait.WaitAbort->click();
    press.stop();
    QTimer::singleShot(0, [&] { dialog.CancelBtn->click(); });
  });
  QTimer::singleShot(0, [&] {
    press.start(5);
    dialog.SubmitBtn->click();
  });
  dialog.ShowModal(form);
  EXPECT_TRUE(waitWasModal);
  EXPECT_EQ(m.Dialogs.Log.back().Text, "エラー : Connection aborted on request");
  EXPECT_EQ(form.ModalResult, TModalResult::Cancel);

  // 中止 closes it with nothing sent.
  QTimer::singleShot(0, [&] { dialog.CancelBtn->click(); });
  dialog.ShowModal(form);
  EXPECT_EQ(form.ModalResult, TModalResult::Cancel);
}

}  // namespace
}  // namespace velmora
