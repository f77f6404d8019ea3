#include "engine/Scrambler.h"

#include <array>
#include <stdexcept>
#include <vector>

#include "engine/Random.h"
#include "platform/Platform.h"

namespace velmora {

namespace {

struct TEntry {
  int Pair;
  char Symbol;  // '\0': the pair stays as its two digits
};

// Every pair with a leading zero is here; 53 pairs become one symbol, two stay digits.
constexpr std::array<TEntry, 55> kTable = {{
    {0, 'Q'},  {1, 'w'},  {2, 'E'},  {3, 'r'},  {4, 'T'},  {5, 'y'},   {6, 'U'},   {7, 'i'},
    {8, 'O'},  {9, 'p'},  {11, 'A'}, {13, 's'}, {14, 'D'}, {16, 'f'},  {17, 'G'},  {19, 'h'},
    {20, 'J'}, {22, 'k'}, {23, 'L'}, {25, 'z'}, {26, 'X'}, {28, 'c'},  {31, 'V'},  {33, 'b'},
    {34, 'N'}, {35, 'm'}, {37, 'q'}, {39, 'W'}, {40, 'e'}, {42, 'R'},  {44, '\0'}, {46, 't'},
    {48, 'Y'}, {51, 'u'}, {52, 'I'}, {55, 'o'}, {57, 'P'}, {59, 'a'},  {61, 'S'},  {63, 'd'},
    {66, 'F'}, {68, 'g'}, {70, 'H'}, {72, 'j'}, {75, 'K'}, {77, '\0'}, {79, 'l'},  {81, 'Z'},
    {83, 'x'}, {86, 'C'}, {88, 'v'}, {90, 'B'}, {93, 'n'}, {95, 'M'},  {97, '_'},
}};

constexpr int kFirstKey = 100;
constexpr int kKeyCount = 10;

char SymbolOf(int pair, bool& found) {
  for (const TEntry& e : kTable) {
    if (e.Pair == pair) {
      found = e.Symbol != '\0';
      return e.Symbol;
    }
  }
  found = false;
  return '\0';
}

// The pair a symbol stands for; -1 when the character is no symbol of the table.
int PairOf(char symbol) {
  for (const TEntry& e : kTable)
    if (e.Symbol != '\0' && e.Symbol == symbol) return e.Pair;
  return -1;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsLeadByte(int value) {
  return (value >= 0x81 && value <= 0x9F) || (value >= 0xE0 && value <= 0xFC);
}

int LastKey = 0;
unsigned Scrambles = 0;

std::runtime_error BadText(const std::string& what) {
  return std::runtime_error("'" + what + "' は有効な整数値ではありません");
}

}  // namespace

std::string ScrambleTextWithKey(std::string_view text, int key) {
  std::string digits;
  digits.reserve(text.size() * 3);
  for (unsigned char b : text) {
    std::string n = std::to_string(b + key + 3);
    while (n.size() < 3)
      n += '+';
    digits += n;
  }
  std::string out(1, static_cast<char>(key));
  size_t i = 0;
  for (; i + 1 < digits.size(); i += 2) {
    const char hi = digits[i], lo = digits[i + 1];
    bool found = false;
    char symbol = '\0';
    if (IsDigit(hi) && IsDigit(lo)) symbol = SymbolOf((hi - '0') * 10 + (lo - '0'), found);
    if (found) {
      out += symbol;
    } else {
      out += hi;
      out += lo;
    }
  }
  if (i < digits.size()) out += digits[i];
  return out;
}

std::string ScrambleText(std::string_view text, ISystem& clock) {
  Randomize(clock);
  // The clock may not have moved since the last scramble, yet the text must change: the
  // count of scrambles walks the key on, and the last key is never used again at once.
  int key = kFirstKey + (Random(kKeyCount) + Scrambles++) % kKeyCount;
  if (key == LastKey) key = kFirstKey + (key - kFirstKey + 1) % kKeyCount;
  LastKey = key;
  return ScrambleTextWithKey(text, key);
}

std::string UnscrambleText(std::string_view text) {
  if (text.empty()) return {};
  const int key = static_cast<unsigned char>(text[0]);
  if (key < kFirstKey || key >= kFirstKey + kKeyCount)
    throw BadText(std::string(text.substr(0, 1)));
  std::string digits;
  digits.reserve(text.size() * 2);
  for (size_t i = 1; i < text.size(); ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      digits += c;
      continue;
    }
    const int pair = PairOf(c);
    if (pair < 0) throw BadText(std::string(1, c));
    digits += static_cast<char>('0' + pair / 10);
    digits += static_cast<char>('0' + pair % 10);
  }
  // A short group left at the end is dropped.
  std::vector<int> values;
  for (size_t i = 0; i + 3 <= digits.size(); i += 3) {
    const int value = std::stoi(digits.substr(i, 3)) - (key + 3);
    if (value < 0 || value > 255) throw BadText(digits.substr(i, 3));
    values.push_back(value);
  }
  std::string out;
  out.reserve(values.size());
  for (size_t i = 0; i < values.size(); ++i) {
    out += static_cast<char>(values[i]);
    if (IsLeadByte(values[i])) out += static_cast<char>(i + 1 < values.size() ? values[++i] : ' ');
  }
  return out;
}

}  // namespace velmora
