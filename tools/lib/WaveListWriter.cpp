#include "lib/WaveListWriter.h"

#include <limits>
#include <stdexcept>
#include <string_view>

namespace velmora {

namespace {

class TByteWriter {
 public:
  std::vector<uint8_t> Bytes;

  void Byte(uint8_t b) { Bytes.push_back(b); }
  void U16(uint16_t v) {
    Byte(static_cast<uint8_t>(v));
    Byte(static_cast<uint8_t>(v >> 8));
  }
  void U32(uint32_t v) {
    U16(static_cast<uint16_t>(v));
    U16(static_cast<uint16_t>(v >> 16));
  }
  void Chars(std::string_view s) { Bytes.insert(Bytes.end(), s.begin(), s.end()); }
  void Append(const std::vector<uint8_t>& b) { Bytes.insert(Bytes.end(), b.begin(), b.end()); }
  void ShortString(std::string_view s) {
    if (s.size() > 255) throw std::length_error("short string longer than 255 bytes");
    Byte(static_cast<uint8_t>(s.size()));
    Chars(s);
  }
  void Size32(size_t n) {
    if (n > std::numeric_limits<uint32_t>::max()) throw std::length_error("too large");
    U32(static_cast<uint32_t>(n));
  }

  // Values, each starting with its type byte.
  void StringValue(std::string_view s) {
    if (s.size() <= 255) {
      Byte(6);
      ShortString(s);
    } else {
      Byte(12);
      Size32(s.size());
      Chars(s);
    }
  }
  void IntegerValue(int32_t v) {
    if (v >= -128 && v <= 127) {
      Byte(2);
      Byte(static_cast<uint8_t>(v));
    } else if (v >= -32768 && v <= 32767) {
      Byte(3);
      U16(static_cast<uint16_t>(v));
    } else {
      Byte(4);
      U32(static_cast<uint32_t>(v));
    }
  }
  void BinaryValue(const std::vector<uint8_t>& b) {
    Byte(10);
    Size32(b.size());
    Append(b);
  }
};

constexpr char kClassName[] = "TWaveCollectionComponent";
constexpr char kResourceName[] = "TWAVECOLLECTIONCOMPONENT";

}  // namespace

std::vector<uint8_t> MakeRiffWave(const TWaveFormat& format, const std::vector<uint8_t>& samples) {
  TByteWriter fmt;
  fmt.U16(format.FormatTag);
  fmt.U16(format.Channels);
  fmt.U32(format.SamplesPerSec);
  fmt.U32(format.AvgBytesPerSec);
  fmt.U16(format.BlockAlign);
  fmt.U16(format.BitsPerSample);
  if (!format.Extra.empty()) {
    fmt.U16(static_cast<uint16_t>(format.Extra.size()));
    fmt.Append(format.Extra);
  }

  TByteWriter w;
  w.Chars("RIFF");
  w.Size32(4 + 8 + fmt.Bytes.size() + 8 + samples.size());
  w.Chars("WAVE");
  w.Chars("fmt ");
  w.Size32(fmt.Bytes.size());
  w.Append(fmt.Bytes);
  w.Chars("data");
  w.Size32(samples.size());
  w.Append(samples);
  return w.Bytes;
}

std::vector<uint8_t> WriteWaveList(const std::vector<TWaveListEntry>& entries) {
  TByteWriter s;
  s.Chars("TPF0");
  s.ShortString(kClassName);
  s.ShortString("");
  s.ShortString("List");
  s.Byte(14);
  for (const TWaveListEntry& e : entries) {
    s.Byte(1);
    s.ShortString("Name");
    s.StringValue(e.Name);
    s.ShortString("Looped");
    s.Byte(e.Looped ? 9 : 8);
    s.ShortString("MaxPlayingCount");
    s.IntegerValue(e.MaxPlayingCount);
    s.ShortString("Wave.WAVE");
    s.BinaryValue(e.RawRiff.empty() ? MakeRiffWave(e.Format, e.Samples) : e.RawRiff);
    s.Byte(0);  // end of the item's properties
  }
  s.Byte(0);  // end of the collection
  s.Byte(0);  // end of the object's properties
  s.Byte(0);  // end of its (absent) children

  TByteWriter w;
  w.Byte(0xFF);
  w.U16(10);
  w.Chars(kResourceName);
  w.Byte(0);
  w.U16(0x1030);
  w.Size32(s.Bytes.size());
  w.Append(s.Bytes);
  return w.Bytes;
}

}  // namespace velmora
