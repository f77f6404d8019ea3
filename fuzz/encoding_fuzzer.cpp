// Feeds arbitrary bytes to the text-encoding conversions and the scrambler. Conversions
// either throw or give valid UTF-8; valid UTF-8 passes the file reader unchanged; ASCII
// survives a scramble and unscramble.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <string>

#include "engine/Encoding.h"
#include "engine/Scrambler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const bool utf8 = IsValidUtf8(bytes);
  try {
    const std::string text = TextFileToUtf8(bytes);
    if (!IsValidUtf8(text) || (utf8 && text != bytes)) std::abort();
  } catch (const std::exception&) {
    if (utf8) std::abort();
  }
  try {
    if (!IsValidUtf8(Cp932ToUtf8(bytes))) std::abort();
  } catch (const std::exception&) {
  }
  if (utf8) {
    try {
      const std::string cp932 = Utf8ToCp932(bytes);
      Cp932ToUtf8(cp932);
    } catch (const std::exception&) {
    }
  }
  bool ascii = true;
  for (unsigned char c : bytes)
    ascii = ascii && c < 0x80;
  const std::string scrambled = ScrambleTextWithKey(bytes, 100 + (size % 10));
  try {
    if (UnscrambleText(scrambled) != bytes && ascii) std::abort();
  } catch (const std::exception&) {
    if (ascii) std::abort();
  }
  return 0;
}
