// The machine's side of the online ranking: the submission dialog the player fills in and
// the one connection that carries the request.
#pragma once

#include <cstddef>
#include <string>

namespace velmora {

class TRnkSubmitForm;

// Shows the submission dialog modally. Its 送信 button runs the form's SubmitBtnClick and
// its 中止 button (or closing it) CancelBtnClick; it returns once the form has a modal
// result. The dialog copies its edit fields to the form before each handler and back after
// it, since handlers may change them.
class IRankingDialog {
 public:
  virtual ~IRankingDialog() = default;
  virtual void ShowModal(TRnkSubmitForm& form) = 0;
  // Disabled while a request runs, so no second one can start; enabled again with the focus.
  virtual void SetBusy(bool busy) = 0;
};

// Where a request goes, taken apart from the endpoint address.
struct TEndpoint {
  bool Tls = false;  // "https://"
  std::string Host;
  int Port = 80;
  std::string Path = "/";
};

struct TExchange {
  bool Ok = false;
  // Everything the server sent (status line, headers, body), at most the limit asked for.
  std::string Response;
  // Why it failed, in the client's words: "can't resolve hostname to IP address", ...
  std::string Error;
};

// One connection: the request bytes go out as they are, the reply is read until the server
// closes the connection or the limit is reached. While it waits, the wait window is shown
// and stays live; its abort button ends the exchange with "Connection aborted on request".
// There is no time-out.
class IRankingTransport {
 public:
  virtual ~IRankingTransport() = default;
  virtual TExchange Exchange(const TEndpoint& endpoint, const std::string& request,
                             size_t limit) = 0;
};

}  // namespace velmora
