#include "platform/headless/HeadlessRanking.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/headless/Headless.h"
#include "ranking/RnkSubmit.h"

namespace velmora {

namespace {

// The first count characters of UTF-8 text, as an edit field with that limit keeps them.
std::string FirstCharacters(const std::string& text, int count) {
  size_t end = 0;
  for (int n = 0; end < text.size() && n < count; ++n) {
    ++end;
    while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
      ++end;
  }
  return text.substr(0, end);
}

std::string ConnectError(int error) {
  return "can't connect: " + std::string(std::strerror(error)) + " (Error #" +
         std::to_string(error) + ")";
}

class TSocket {
 public:
  ~TSocket() {
    if (Fd >= 0) ::close(Fd);
  }
  int Fd = -1;
};

}  // namespace

void THeadlessRankingDialog::ShowModal(TRnkSubmitForm& form) {
  form.FormShow();
  while (form.ModalResult == TModalResult::None) {
    const std::optional<std::string> answer = Dialogs_.TakeAnswer("rank:");
    if (!answer || *answer == "rank:cancel") {
      Dialogs_.Record({"ranking", "ランキングデータ送信", form.Label5, "rank:cancel"});
      form.CancelBtnClick();
      break;
    }
    const std::string fields = answer->substr(5);
    const size_t bar1 = fields.find('|');
    const size_t bar2 = bar1 == std::string::npos ? bar1 : fields.find('|', bar1 + 1);
    form.NameEdit = FirstCharacters(fields.substr(0, bar1), kNameMaxLength);
    form.MailEdit = bar1 == std::string::npos
                        ? ""
                        : FirstCharacters(fields.substr(bar1 + 1, bar2 - bar1 - 1), kMailMaxLength);
    form.HitokotoEdit = bar2 == std::string::npos
                            ? ""
                            : FirstCharacters(fields.substr(bar2 + 1), kHitokotoMaxLength);
    Dialogs_.Record({"ranking", "ランキングデータ送信", form.Label5,
                     "rank:" + form.NameEdit + "|" + form.MailEdit + "|" + form.HitokotoEdit});
    form.SubmitBtnClick();
  }
}

TExchange THeadlessRankingTransport::Exchange(const TEndpoint& endpoint, const std::string& request,
                                              size_t limit) {
  TExchange result;
  if (endpoint.Tls) {
    result.Error = "can't connect: https is not available in the headless runner";
    return result;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(endpoint.Host.c_str(), std::to_string(endpoint.Port).c_str(), &hints, &found) !=
          0 ||
      !found) {
    result.Error = "can't resolve hostname to IP address";
    return result;
  }
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> addresses(found, ::freeaddrinfo);

  const auto aborted = [this, &result] {
    if (!AbortRequested || !AbortRequested()) return false;
    result.Error = "Connection aborted on request";
    return true;
  };
  // Waits for the socket in short steps, so the abort button is heard.
  const auto wait = [&](int fd, short events) {
    for (;;) {
      if (aborted()) return false;
      pollfd p{fd, events, 0};
      const int n = ::poll(&p, 1, 20);
      if (n > 0) return true;
      if (n < 0 && errno != EINTR) return true;  // the next call reports the error
    }
  };

  TSocket s;
  int error = ECONNREFUSED;
  for (addrinfo* a = found; a; a = a->ai_next) {
    TSocket attempt;
    attempt.Fd =
        ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (attempt.Fd < 0) {
      error = errno;
      continue;
    }
    if (::connect(attempt.Fd, a->ai_addr, a->ai_addrlen) != 0) {
      if (errno != EINPROGRESS) {
        error = errno;
        continue;
      }
      if (!wait(attempt.Fd, POLLOUT)) return result;
      socklen_t size = sizeof error;
      ::getsockopt(attempt.Fd, SOL_SOCKET, SO_ERROR, &error, &size);
      if (error != 0) continue;
    }
    std::swap(s.Fd, attempt.Fd);
    break;
  }
  if (s.Fd < 0) {
    result.Error = ConnectError(error);
    return result;
  }

  for (size_t sent = 0; sent < request.size();) {
    if (!wait(s.Fd, POLLOUT)) return result;
    const ssize_t n = ::send(s.Fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n < 0) {
      result.Error = ConnectError(errno);
      return result;
    }
    sent += static_cast<size_t>(n);
  }
  char buffer[8192];
  while (result.Response.size() < limit) {
    if (!wait(s.Fd, POLLIN)) return result;
    const ssize_t n = ::recv(s.Fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    // A connection reset after the reply counts as its end, as the server closing it.
    if (n <= 0) break;
    result.Response.append(buffer,
                           std::min(static_cast<size_t>(n), limit - result.Response.size()));
  }
  result.Ok = true;
  return result;
}

}  // namespace velmora
