#include "engine/Encoding.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace velmora {

namespace {

std::string Convert(std::string_view in, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error(std::string("文字コードを変換できません: ") + from + " -> " + to);
  std::string out;
  out.resize(in.size() * 2 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  size_t done = 0;
  while (true) {
    char* dst = out.data() + done;
    size_t dstLeft = out.size() - done;
    const size_t r = iconv(cd, srcLeft ? &src : nullptr, &srcLeft, &dst, &dstLeft);
    done = out.size() - dstLeft;
    if (r != static_cast<size_t>(-1)) {
      if (srcLeft == 0) break;
      continue;
    }
    if (errno == E2BIG) {
      out.resize(out.size() * 2);
      continue;
    }
    iconv_close(cd);
    throw std::runtime_error(std::string("文字コードを変換できません: ") + from + " -> " + to);
  }
  iconv_close(cd);
  out.resize(done);
  return out;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  return Convert(utf8, "CP932", "UTF-8");
}
std::string Cp932ToUtf8(std::string_view cp932) {
  return Convert(cp932, "UTF-8", "CP932");
}

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int extra;
    unsigned min;
    if (c < 0x80) {
      ++i;
      continue;
    } else if ((c & 0xE0) == 0xC0) {
      extra = 1, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
      extra = 2, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
      extra = 3, min = 0x10000;
    } else {
      return false;
    }
    if (i + extra >= s.size()) return false;
    unsigned cp = c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

std::string Cp932ToUtf8Lossy(std::string_view cp932, int* replaced) {
  if (replaced) *replaced = 0;
  try {
    return Cp932ToUtf8(cp932);
  } catch (const std::runtime_error&) {
  }
  // Character by character, the slow way, only for the text that needs it.
  std::string out;
  for (size_t i = 0; i < cp932.size();) {
    const unsigned char c = static_cast<unsigned char>(cp932[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
      ++i;
      continue;
    }
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    const size_t length = lead && i + 1 < cp932.size() ? 2 : 1;
    try {
      out += Cp932ToUtf8(cp932.substr(i, length));
      i += length;
    } catch (const std::runtime_error&) {
      out += '?';
      ++i;
      if (replaced) ++*replaced;
    }
  }
  return out;
}

bool IsUtf8Text(std::string_view bytes) {
  if (bytes.starts_with("\xEF\xBB\xBF")) return true;
  if (!IsValidUtf8(bytes)) return false;
  bool wide = false, high = false;
  for (char c : bytes) {
    high = high || (c & 0x80);
    wide = wide || static_cast<unsigned char>(c) >= 0xE0;
  }
  if (wide || !high) return true;
  try {
    Cp932ToUtf8(bytes);
    return false;
  } catch (const std::runtime_error&) {
    return true;
  }
}

std::string TextFileToUtf8(std::string_view bytes) {
  const bool utf8 = IsUtf8Text(bytes);
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return utf8 ? std::string(bytes) : Cp932ToUtf8Lossy(bytes);
}

}  // namespace velmora
