#include "Address.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cctype>

namespace velmora {

namespace {

bool ValidPort(std::string_view digits, int& port) {
  if (digits.empty() || digits.size() > 5) return false;
  if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  port = std::stoi(std::string(digits));
  return port <= 65535;
}

bool ValidName(std::string_view name) {
  if (name.empty() || name.size() > 253) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
  });
}

bool ValidIpv6(std::string_view text) {
  in6_addr address;
  return inet_pton(AF_INET6, std::string(text).c_str(), &address) == 1;
}

// host[:port] or [v6][:port]; the host without brackets.
bool Split(std::string_view text, std::string& host, std::string_view& port, bool& hasPort) {
  hasPort = false;
  if (!text.empty() && text.front() == '[') {
    const size_t close = text.find(']');
    if (close == std::string_view::npos) return false;
    host = text.substr(1, close - 1);
    if (!ValidIpv6(host)) return false;
    const std::string_view rest = text.substr(close + 1);
    if (rest.empty()) return true;
    if (rest.front() != ':') return false;
    port = rest.substr(1);
    hasPort = true;
    return true;
  }
  const size_t colon = text.find(':');
  host = text.substr(0, colon);
  if (!ValidName(host)) return false;
  if (colon == std::string_view::npos) return true;
  port = text.substr(colon + 1);
  hasPort = true;
  return true;
}

}  // namespace

std::optional<THostPort> ParseHostPort(std::string_view text) {
  THostPort out;
  std::string_view port;
  bool hasPort = false;
  if (!Split(text, out.Host, port, hasPort) || !hasPort || !ValidPort(port, out.Port))
    return std::nullopt;
  return out;
}

std::string HostForUrl(const std::string& host) {
  return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

bool PlainHostHeader(std::string_view text) {
  std::string host;
  std::string_view port;
  bool hasPort = false;
  int number = 0;
  return Split(text, host, port, hasPort) && (!hasPort || ValidPort(port, number));
}

}  // namespace velmora
