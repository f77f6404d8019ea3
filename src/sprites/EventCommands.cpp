#include "sprites/EventCommands.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <iterator>
#include <stdexcept>

namespace velmora {

int32_t ParseEventInteger(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(begin, &end, 10);
  const bool digitsOnly = !text.empty() && !std::isspace(static_cast<unsigned char>(text[0]));
  if (!digitsOnly || end == begin || *end != '\0' || errno == ERANGE || value < INT32_MIN ||
      value > INT32_MAX)
    throw std::runtime_error("'" + text + "' は整数ではありません");
  return static_cast<int32_t>(value);
}

bool IsMusicCommand(const std::string& text) {
  static const char* const kCommands[] = {"NONE",     "STOP",     "DOWN500", "DOWN1000", "DOWN1500",
                                          "DOWN2000", "DOWN2500", "BGM1",    "BGM2",     "BGM3",
                                          "BGM4",     "BGM5",     "BOSS"};
  return std::find(std::begin(kCommands), std::end(kCommands), text) != std::end(kCommands);
}

}  // namespace velmora
