#include "engine/NameHash.h"

namespace velmora {

namespace {
char LowerChar(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    c = LowerChar(c);
  return out;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerChar(a[i]) != LowerChar(b[i])) return false;
  return true;
}

int NameHashOf(std::string_view name) {
  const size_t n = name.size();
  unsigned h = static_cast<unsigned>(n) * 16;
  if (n >= 2) {
    h += static_cast<unsigned char>(LowerChar(name[n - 2]));
    h += static_cast<unsigned char>(LowerChar(name[0]));
  }
  return static_cast<int>(h & 0xFF);
}

}  // namespace velmora
