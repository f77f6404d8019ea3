#include "platform/qt/QtRanking.h"

#include <QAbstractSocket>
#include <QEventLoop>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QNetworkProxy>
#include <QPushButton>
#include <QSslSocket>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ranking/RnkSubmit.h"

namespace velmora {

namespace {

QFont GothicFont(int points, bool bold = false) {
  QFont font("IPAPGothic", points);
  font.setStyleHint(QFont::SansSerif);
  font.setBold(bold);
  return font;
}

QLabel* MakeLabel(QWidget* parent, const char* text, int x, int y, int w, int h, const QFont& font,
                  const char* colour) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setGeometry(x, y, w, h);
  label->setFont(font);
  label->setStyleSheet(QString("color: %1; background: transparent;").arg(colour));
  return label;
}

QLineEdit* MakeEdit(QWidget* parent, int x, int y, int maxLength) {
  auto* edit = new QLineEdit(parent);
  edit->setGeometry(x, y, 210, 22);
  edit->setMaxLength(maxLength);
  edit->setFont(GothicFont(10));
  edit->setStyleSheet("color: black; background: white;");
  return edit;
}

// The system's words for the errors a connection attempt can meet.
std::string ConnectError(QAbstractSocket& socket) {
  int number = 0;
  switch (socket.error()) {
    case QAbstractSocket::ConnectionRefusedError:
      number = ECONNREFUSED;
      break;
    case QAbstractSocket::NetworkError:
      number = ENETUNREACH;
      break;
    case QAbstractSocket::SocketTimeoutError:
      number = ETIMEDOUT;
      break;
    case QAbstractSocket::SocketAccessError:
      number = EACCES;
      break;
    default:
      break;
  }
  const std::string text = number != 0 ? std::strerror(number) : socket.errorString().toStdString();
  return "can't connect: " + text + " (Error #" +
         std::to_string(number != 0 ? number : static_cast<int>(socket.error())) + ")";
}

}  // namespace

// ---- the submission dialog -------------------------------------------------------------

TRnkSubmitDialog::TRnkSubmitDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("ランキングデータ送信"));
  setFixedSize(413, 329);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::black);
  setPalette(p);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  Label5 = MakeLabel(this, "", 16, 10, 381, 26, GothicFont(14, true), "white");
  MakeLabel(this, "戦果：", 24, 46, 60, 22, GothicFont(11, true), "#c0c0c0");
  Label4 = MakeLabel(this, "", 84, 46, 200, 22, GothicFont(11, true), "#ffff00");
  const QFont text = GothicFont(10);
  MakeLabel(this, "お名前（必須）：", 24, 80, 150, 22, text, "#c0c0c0");
  NameEdit = MakeEdit(this, 180, 80, kNameMaxLength);
  MakeLabel(this, "Ｅ-Ｍａｉｌ（よければ）：", 24, 110, 150, 22, text, "#c0c0c0");
  MailEdit = MakeEdit(this, 180, 110, kMailMaxLength);
  MakeLabel(this, "ひとこと（よければ）：", 24, 140, 150, 22, text, "#c0c0c0");
  HitokotoEdit = MakeEdit(this, 180, 140, kHitokotoMaxLength);
  QLabel* howTo = MakeLabel(
      this,
      "送り方　：　①ダイヤルアップネットワークなどでインターネットに接続して下さい。②各項目を"
      "埋めてください。名前は本名・ニックネームのどちらでもＯＫです。③「送る」を押してしばらく"
      "お待ち下さい。（10秒～一分程度かかります。）",
      24, 178, 366, 92, GothicFont(10), "#a0a0a0");
  howTo->setWordWrap(true);
  howTo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  SubmitBtn = new QPushButton(QString::fromUtf8("送信"), this);
  SubmitBtn->setGeometry(112, 284, 90, 28);
  SubmitBtn->setDefault(true);
  CancelBtn = new QPushButton(QString::fromUtf8("中止"), this);
  CancelBtn->setGeometry(212, 284, 90, 28);
  for (QPushButton* b : {SubmitBtn, CancelBtn}) {
    b->setFont(text);
    b->setStyleSheet("");
  }
  connect(SubmitBtn, &QPushButton::clicked, this, [this] { SubmitBtnClick(); });
  connect(CancelBtn, &QPushButton::clicked, this, [this] { reject(); });
}

void TRnkSubmitDialog::ToForm() {
  Form_->NameEdit = NameEdit->text().toStdString();
  Form_->MailEdit = MailEdit->text().toStdString();
  Form_->HitokotoEdit = HitokotoEdit->text().toStdString();
}

void TRnkSubmitDialog::FromForm() {
  Label5->setText(QString::fromStdString(Form_->Label5));
  Label4->setText(QString::fromStdString(Form_->Label4()));
  NameEdit->setText(QString::fromStdString(Form_->NameEdit));
  MailEdit->setText(QString::fromStdString(Form_->MailEdit));
  // The brackets added around the comment may take it past the edit's own limit.
  HitokotoEdit->setMaxLength(kHitokotoMaxLength + 2);
  HitokotoEdit->setText(QString::fromStdString(Form_->HitokotoEdit));
  HitokotoEdit->setMaxLength(std::max<int>(kHitokotoMaxLength, HitokotoEdit->text().size()));
}

void TRnkSubmitDialog::ShowModal(TRnkSubmitForm& form) {
  Form_ = &form;
  form.FormShow();
  HitokotoEdit->setMaxLength(kHitokotoMaxLength);
  FromForm();
  NameEdit->setFocus();
  exec();
  ToForm();
  Form_ = nullptr;
}

void TRnkSubmitDialog::SetBusy(bool busy) {
  setEnabled(!busy);
  if (!busy) {
    activateWindow();
    NameEdit->setFocus();
  }
}

void TRnkSubmitDialog::SubmitBtnClick() {
  if (Form_ == nullptr) return;
  ToForm();
  try {
    Form_->SubmitBtnClick();
  } catch (const std::exception& error) {
    setEnabled(true);
    QMessageBox::critical(this, "Velmora", QString::fromStdString(error.what()));
  }
  FromForm();
  if (Form_->ModalResult != TModalResult::None) accept();
}

void TRnkSubmitDialog::reject() {
  if (Form_ != nullptr) Form_->CancelBtnClick();
  QDialog::reject();
}

// ---- the wait window -------------------------------------------------------------------

TWaitForm::TWaitForm(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("ランキングデーター送信"));
  setFixedSize(311, 75);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  // Shown over the modal submission dialog, it must be the modal one itself, or Qt would
  // keep every click, the abort button's too, from reaching it.
  setWindowModality(Qt::ApplicationModal);
  MakeLabel(this, "通信中.....", 12, 10, 180, 22, GothicFont(12, true), "#000080");
  QLabel* note = MakeLabel(this, "＊時間帯によってはは30～60秒近くかかることがあります。", 12, 44,
                           292, 20, GothicFont(8), "black");
  note->setWordWrap(true);
  WaitAbort = new QPushButton(QString::fromUtf8("中止(&A)"), this);
  WaitAbort->setGeometry(216, 8, 84, 28);
}

// ---- the connection --------------------------------------------------------------------

TExchange TQtRankingTransport::Exchange(const TEndpoint& endpoint, const std::string& request,
                                        size_t limit) {
  TExchange result;
  QSslSocket socket;
  QEventLoop loop;
  bool connected = false;
  bool finished = false;
  const auto finish = [&](bool ok, const std::string& error) {
    if (finished) return;
    finished = true;
    result.Ok = ok;
    result.Error = error;
    loop.quit();
  };
  const auto send = [&] {
    connected = true;
    socket.write(request.data(), static_cast<qint64>(request.size()));
  };
  QObject::connect(&socket, endpoint.Tls ? &QSslSocket::encrypted : &QSslSocket::connected, &loop,
                   send);
  QObject::connect(&socket, &QSslSocket::readyRead, &loop, [&] {
    const QByteArray bytes = socket.read(static_cast<qint64>(limit - result.Response.size()));
    result.Response.append(bytes.constData(), static_cast<size_t>(bytes.size()));
    // Enough: the rest of a reply this long is dropped with the connection.
    if (result.Response.size() >= limit) {
      finish(true, "");
      socket.abort();
    }
  });
  // What is still buffered when the server closes belongs to the reply.
  const auto readRest = [&] {
    if (!socket.isReadable()) return;
    const QByteArray bytes = socket.readAll();
    result.Response.append(bytes.constData(), std::min(static_cast<size_t>(bytes.size()),
                                                       limit - result.Response.size()));
  };
  QObject::connect(&socket, &QSslSocket::disconnected, &loop, [&] {
    if (finished) return;
    readRest();
    finish(connected, connected ? "" : ConnectError(socket));
  });
  QObject::connect(&socket, &QSslSocket::errorOccurred, &loop,
                   [&](QAbstractSocket::SocketError error) {
                     if (finished) return;
                     if (error == QAbstractSocket::RemoteHostClosedError && connected) {
                       readRest();
                       finish(true, "");
                     } else if (error == QAbstractSocket::HostNotFoundError) {
                       finish(false, "can't resolve hostname to IP address");
                     } else {
                       finish(false, ConnectError(socket));
                     }
                   });
  const QMetaObject::Connection abort =
      QObject::connect(Wait_.WaitAbort, &QPushButton::clicked, &loop, [&] {
        finish(false, "Connection aborted on request");
        socket.abort();
      });

  socket.setProxy(QNetworkProxy::NoProxy);
  const QString host = QString::fromStdString(endpoint.Host);
  if (endpoint.Tls) {
    if (!QSslSocket::supportsSsl()) {
      result.Error = "can't connect: TLS is not available on this system";
      QObject::disconnect(abort);
      return result;
    }
    socket.connectToHostEncrypted(host, static_cast<quint16>(endpoint.Port));
  } else {
    socket.connectToHost(host, static_cast<quint16>(endpoint.Port));
  }
  Wait_.show();
  Wait_.raise();
  // The window stays live while waiting: the loop runs every event, the abort button's too.
  if (!finished) loop.exec();
  Wait_.hide();
  QObject::disconnect(abort);
  socket.disconnect();
  socket.abort();
  return result;
}

}  // namespace velmora
