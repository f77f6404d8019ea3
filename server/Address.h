// Host and port as the command line, the Host header and the reply's page address use them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

struct THostPort {
  std::string Host;  // an IPv6 address without its brackets
  int Port = 0;
};

// "127.0.0.1:8080", "localhost:80", "[::1]:0": a host name or address and a port of
// decimal digits only (0 ... 65535). An IPv6 address must be in brackets.
std::optional<THostPort> ParseHostPort(std::string_view text);
// The host as it goes into an address: "[::1]" for IPv6, the host itself otherwise.
std::string HostForUrl(const std::string& host);
// Whether a Host header may be echoed into the reply's page address: a host name, an IPv4
// address or a bracketed IPv6 address, and an optional port; nothing that could change the
// reply's commands (commas, line breaks) or the page it names (slashes, "@").
bool PlainHostHeader(std::string_view host);

}  // namespace velmora
