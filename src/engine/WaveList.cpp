#include "engine/WaveList.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <stdexcept>

#include "engine/FileRead.h"

namespace velmora {

// ---- wave items ------------------------------------------------------------------------

TWaveItem::~TWaveItem() {
  // A device that throws while tearing down must not take the program with it.
  try {
    Finalize();
  } catch (...) {
  }
}

void TWaveItem::SetName(const std::string& name) {
  // Unlinking walks the chains, so only items already linked pay for it.
  if (Linked_) Owner_.Chains_.Remove(this);
  Name = name;
  Owner_.Chains_.Add(this);
  Linked_ = true;
}

void TWaveItem::Initialize() {
  if (Main_ != 0 || !Owner_.Sound.Initialized()) return;
  Main_ = Owner_.Sound.CreateBuffer(Format, Samples);
  if (Main_ != 0) Owner_.Sound.SetVolume(Main_, Volume);
}

void TWaveItem::Finalize() {
  ISoundDevice& sound = Owner_.Sound;
  std::vector<TSoundBuffer> copies;
  copies.swap(Copies_);
  const TSoundBuffer main = Main_;
  Main_ = 0;
  for (TSoundBuffer copy : copies)
    sound.Release(copy);
  if (main != 0) sound.Release(main);
}

void TWaveItem::Play(bool wait) {
  ISoundDevice& sound = Owner_.Sound;
  // The device may have been switched on after the list was filled; the buffers follow it.
  if (Main_ == 0 && sound.Initialized()) Initialize();
  if (Main_ == 0) return;

  if (Looped) {
    sound.SetVolume(Main_, Volume);
    sound.Play(Main_, true);
    return;
  }

  TSoundBuffer copy = 0;
  for (TSoundBuffer candidate : Copies_) {
    if (!sound.IsPlaying(candidate)) {
      copy = candidate;
      break;
    }
  }
  if (copy == 0) {
    // A negative limit from a damaged file counts as no limit rather than an empty pool.
    if (MaxPlayingCount <= 0 || CopyCount() < MaxPlayingCount) {
      copy = sound.Duplicate(Main_);
      if (copy == 0) return;
      Copies_.push_back(copy);
    } else {
      copy = Copies_.front();
      Copies_.erase(Copies_.begin());
      Copies_.push_back(copy);
    }
  }

  sound.Stop(copy);
  sound.SetVolume(copy, Volume);
  sound.Play(copy, false);
  if (wait) {
    while (sound.IsPlaying(copy))
      Owner_.System.Sleep(10);
  }
}

void TWaveItem::Stop() {
  if (Main_ == 0) return;
  Owner_.Sound.Stop(Main_);
  for (TSoundBuffer copy : Copies_)
    Owner_.Sound.Stop(copy);
}

void TWaveItem::SetVolume(int volume) {
  Volume = volume;
  if (Main_ == 0) return;
  // Music fades must reach the copy that is sounding now, not just the next one.
  Owner_.Sound.SetVolume(Main_, volume);
  for (TSoundBuffer copy : Copies_)
    Owner_.Sound.SetVolume(copy, volume);
}

// ---- the list --------------------------------------------------------------------------

TDXWaveList::~TDXWaveList() {
  Clear();
}

TWaveItem& TDXWaveList::Add() {
  Items_.push_back(std::make_unique<TWaveItem>(*this));
  return *Items_.back();
}

void TDXWaveList::Clear() {
  Chains_.Clear();
  Items_.clear();
}

TWaveItem& TDXWaveList::Find(const std::string& name) {
  if (TWaveItem* item = Chains_.Find(name)) return *item;
  throw std::runtime_error("Wave '" + name + "' が見つかりません");
}

void TDXWaveList::Initialize() {
  for (auto& item : Items_)
    item->Initialize();
}

void TDXWaveList::Finalize() {
  for (auto& item : Items_)
    item->Finalize();
}

// ---- reading wave-list files -----------------------------------------------------------

namespace {

const char kStreamError[] = "不正なストリーム フォーマット";
const char kWaveError[] = "不正な Wave です";

[[noreturn]] void StreamError() {
  throw std::runtime_error(kStreamError);
}
[[noreturn]] void WaveError() {
  throw std::runtime_error(kWaveError);
}

// Nested lists beyond this depth are not something a wave list ever holds; refusing them
// keeps a hostile file from exhausting the stack.
constexpr int kMaxNesting = 32;

// The composed music is a few megabytes; a file far beyond that is not a wave list.
constexpr size_t kMaxWaveListBytes = size_t{256} << 20;

enum TValueType : uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
  vaDouble = 21,
};

uint32_t LittleEndian32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t LittleEndian16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// A music file kept open once it has been checked, so that each tune can be read from it
// when it is first played.
class TOpenWaveFile {
 public:
  // Whether all of `bytes` could be read from `offset`.
  bool ReadExactly(uint64_t offset, std::span<uint8_t> bytes) const {
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n =
          ::pread(Fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

  TOpenWaveFile(int fd, const struct stat& checked) : Fd_(fd), Checked_(checked) {}
  ~TOpenWaveFile() { ::close(Fd_); }
  TOpenWaveFile(const TOpenWaveFile&) = delete;
  TOpenWaveFile& operator=(const TOpenWaveFile&) = delete;

  // Fills `bytes` from `offset`. A file changed since it was checked (another copy of the
  // game's music written over it) gives silence rather than whatever now lies there; a
  // file cut short gives silence where it ends.
  void Read(uint64_t offset, std::span<uint8_t> bytes, uint8_t silence) const {
    size_t done = 0;
    struct stat now {};
    if (::fstat(Fd_, &now) == 0 && Same(now, Checked_)) {
      while (done < bytes.size()) {
        const ssize_t n = ::pread(Fd_, bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<size_t>(n);
      }
    }
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(done), bytes.end(), silence);
  }

  static bool Same(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
  }

 private:
  const int Fd_;
  const struct stat Checked_;
};

// One tune's samples, read from the open file the first time they are wanted.
class TFileSamples : public TWaveSamples::TSource {
 public:
  TFileSamples(std::shared_ptr<const TOpenWaveFile> file, uint64_t offset, size_t size,
               uint8_t silence)
      : File_(std::move(file)), Offset_(offset), Size_(size), Silence_(silence) {}

  std::span<const uint8_t> Fetch() const override {
    std::call_once(Once_, [this] {
      Bytes_.resize(Size_);
      File_->Read(Offset_, Bytes_, Silence_);
    });
    return Bytes_;
  }

 private:
  const std::shared_ptr<const TOpenWaveFile> File_;
  const uint64_t Offset_;
  const size_t Size_;
  const uint8_t Silence_;
  mutable std::once_flag Once_;
  mutable std::vector<uint8_t> Bytes_;
};

// Every read is checked against the bytes really present; running short is a damaged
// stream.
class TStreamReader {
 public:
  // `owner` keeps the bytes alive: the waves read refer to them instead of copying.
  TStreamReader(std::span<const uint8_t> bytes, std::shared_ptr<const void> owner)
      : Owner(std::move(owner)), Bytes_(bytes), Size_(bytes.size()) {}
  // Straight from an open file of `size` bytes: the waves are left in it.
  TStreamReader(std::shared_ptr<const TOpenWaveFile> file, size_t size)
      : File(std::move(file)), Size_(size) {}

  const std::shared_ptr<const void> Owner;
  const std::shared_ptr<const TOpenWaveFile> File;

  size_t Remaining() const { return Size_ - Pos_; }
  size_t Position() const { return Pos_; }
  void Seek(size_t pos) {
    if (pos > Size_) StreamError();
    Pos_ = pos;
  }

  // The bytes are good until the next read.
  std::span<const uint8_t> Take(uint64_t n) {
    if (n > Remaining()) StreamError();
    auto out = At(Pos_, static_cast<size_t>(n));
    Pos_ += static_cast<size_t>(n);
    return out;
  }
  void Skip(uint64_t n) {
    if (n > Remaining()) StreamError();
    Pos_ += static_cast<size_t>(n);
  }
  // n bytes at pos, which the caller has checked lie within the stream.
  std::span<const uint8_t> At(size_t pos, size_t n) {
    if (!File) return Bytes_.subspan(pos, n);
    Scratch_.resize(n);
    // A file cut short while it is read is a damaged stream like any other.
    if (!File->ReadExactly(pos, Scratch_)) StreamError();
    return Scratch_;
  }
  uint8_t Peek() {
    if (Remaining() == 0) StreamError();
    return At(Pos_, 1)[0];
  }
  uint8_t Byte() { return Take(1)[0]; }
  uint16_t U16() { return LittleEndian16(Take(2).data()); }
  uint32_t U32() { return LittleEndian32(Take(4).data()); }

  std::string Chars(uint64_t n) {
    auto bytes = Take(n);
    return std::string(bytes.begin(), bytes.end());
  }
  std::string ShortString() { return Chars(Byte()); }

  bool EndOfList() { return Peek() == vaNull; }
  void ListEnd() {
    if (Byte() != vaNull) StreamError();
  }

 private:
  std::span<const uint8_t> Bytes_;
  std::vector<uint8_t> Scratch_;
  size_t Size_ = 0;
  size_t Pos_ = 0;
};

int32_t ReadInteger(TStreamReader& r) {
  switch (r.Byte()) {
    case vaInt8:
      return static_cast<int8_t>(r.Byte());
    case vaInt16:
      return static_cast<int16_t>(r.U16());
    case vaInt32:
      return static_cast<int32_t>(r.U32());
    default:
      StreamError();
  }
}

bool IsIntegerType(uint8_t type) {
  return type == vaInt8 || type == vaInt16 || type == vaInt32;
}

std::string ReadString(TStreamReader& r) {
  switch (r.Byte()) {
    case vaString:
    case vaIdent:
      return r.ShortString();
    case vaLString:
    case vaUTF8String:
      return r.Chars(r.U32());
    default:
      StreamError();
  }
}

bool ReadBoolean(TStreamReader& r) {
  switch (r.Byte()) {
    case vaFalse:
      return false;
    case vaTrue:
      return true;
    default:
      StreamError();
  }
}

void SkipValue(TStreamReader& r, int depth);

// Properties of one object or collection item: a name, then a value, until a zero byte.
void SkipProperties(TStreamReader& r, int depth) {
  while (!r.EndOfList()) {
    r.ShortString();
    SkipValue(r, depth);
  }
  r.ListEnd();
}

void SkipValue(TStreamReader& r, int depth) {
  if (depth > kMaxNesting) StreamError();
  switch (r.Byte()) {
    case vaNull:
    case vaFalse:
    case vaTrue:
    case vaNil:
      return;
    case vaList:
      while (!r.EndOfList())
        SkipValue(r, depth + 1);
      r.ListEnd();
      return;
    case vaInt8:
      r.Skip(1);
      return;
    case vaInt16:
      r.Skip(2);
      return;
    case vaInt32:
    case vaSingle:
      r.Skip(4);
      return;
    case vaCurrency:
    case vaDate:
    case vaInt64:
    case vaDouble:
      r.Skip(8);
      return;
    case vaExtended:
      r.Skip(10);
      return;
    case vaString:
    case vaIdent:
      r.Skip(r.Byte());
      return;
    case vaBinary:
    case vaLString:
    case vaUTF8String:
      r.Skip(r.U32());
      return;
    case vaWString:
      r.Skip(uint64_t{r.U32()} * 2);
      return;
    case vaSet:
      for (uint8_t length = r.Byte(); length != 0; length = r.Byte())
        r.Skip(length);
      return;
    case vaCollection:
      while (!r.EndOfList()) {
        if (IsIntegerType(r.Peek())) ReadInteger(r);
        if (r.Byte() != vaList) StreamError();
        SkipProperties(r, depth + 1);
      }
      r.ListEnd();
      return;
    default:
      StreamError();
  }
}

// Where a wave's samples lie within its RIFF data.
struct TSamplesAt {
  size_t Offset = 0;
  size_t Size = 0;
};

// Walks a RIFF wave of `size` bytes, reading through at(pos, n) (n bytes at pos, inside the
// wave): fills the format and says where the samples are.
template <class TAt>
TSamplesAt WalkRiff(size_t size, TAt at, TWaveFormat& format) {
  if (size < 12) WaveError();
  const auto head = at(0, 12);
  if (std::memcmp(head.data(), "RIFF", 4) != 0 || std::memcmp(head.data() + 8, "WAVE", 4) != 0)
    WaveError();
  format = TWaveFormat{};
  TSamplesAt data;
  bool hasFormat = false;
  size_t pos = 12;
  while (size - pos >= 8) {
    const auto header = at(pos, 8);
    if (LittleEndian32(header.data()) == 0) break;
    const bool isFormat = std::memcmp(header.data(), "fmt ", 4) == 0;
    const bool isData = std::memcmp(header.data(), "data", 4) == 0;
    const uint32_t chunk = LittleEndian32(header.data() + 4);
    pos += 8;
    if (chunk > size - pos) WaveError();
    if (isFormat) {
      if (chunk < 16) WaveError();
      hasFormat = true;
      const auto body = at(pos, chunk);
      format.FormatTag = LittleEndian16(body.data());
      format.Channels = LittleEndian16(body.data() + 2);
      format.SamplesPerSec = LittleEndian32(body.data() + 4);
      format.AvgBytesPerSec = LittleEndian32(body.data() + 8);
      format.BlockAlign = LittleEndian16(body.data() + 12);
      format.BitsPerSample = LittleEndian16(body.data() + 14);
      format.Extra.clear();
      if (chunk > 18) format.Extra.assign(body.begin() + 18, body.end());
    } else if (isData) {
      data = {pos, chunk};
    }
    pos += chunk;
  }
  // Only what the sound layer can play is a wave, so a bad one fails here, at load, whether
  // or not a sound device exists; nothing is guessed for a missing format.
  const bool playable = format.FormatTag == 1 && (format.Channels == 1 || format.Channels == 2) &&
                        (format.BitsPerSample == 8 || format.BitsPerSample == 16) &&
                        format.SamplesPerSec >= 1000 && format.SamplesPerSec <= 192000;
  if (!hasFormat || !playable) WaveError();
  return data;
}

// "Wave.WAVE": from memory the samples are a part of the bytes; from a file only the
// wave's chunk headers are read, and the samples wait in the file.
void ReadWave(TStreamReader& r, TWaveItem& item) {
  if (r.Byte() != vaBinary) StreamError();
  const uint32_t size = r.U32();
  if (!r.File) {
    ReadRiffWave(r.Take(size), item.Format, item.Samples, r.Owner);
    return;
  }
  const size_t start = r.Position();
  r.Skip(size);
  item.Samples = TWaveSamples();
  const TSamplesAt data = WalkRiff(
      size, [&](size_t pos, size_t n) { return r.At(start + pos, n); }, item.Format);
  if (data.Size == 0) return;
  const uint8_t silence = item.Format.BitsPerSample == 8 ? 0x80 : 0x00;
  item.Samples = TWaveSamples(
      std::make_shared<const TFileSamples>(r.File, start + data.Offset, data.Size, silence),
      data.Size);
}

// One collection item's properties, up to and including the zero byte that ends them.
void ReadWaveItem(TStreamReader& r, TWaveItem& item) {
  std::optional<std::string> name;
  try {
    while (!r.EndOfList()) {
      const std::string property = r.ShortString();
      if (SameTextAscii(property, "Name")) {
        name = ReadString(r);
      } else if (SameTextAscii(property, "Looped")) {
        item.Looped = ReadBoolean(r);
      } else if (SameTextAscii(property, "MaxPlayingCount")) {
        item.MaxPlayingCount = std::max(ReadInteger(r), 0);
      } else if (SameTextAscii(property, "Wave.WAVE")) {
        ReadWave(r, item);
      } else {
        SkipValue(r, 1);
      }
    }
    r.ListEnd();
  } catch (...) {
    // The item stays in the partly filled list; it should be findable like the others.
    if (name) item.SetName(*name);
    throw;
  }
  if (name) item.SetName(*name);
}

void ReadCollection(TStreamReader& r, TDXWaveList& list) {
  if (r.Byte() != vaCollection) StreamError();
  if (!r.EndOfList()) list.Clear();
  while (!r.EndOfList()) {
    if (IsIntegerType(r.Peek())) ReadInteger(r);  // the item's order, not needed
    TWaveItem& item = list.Add();
    if (r.Byte() != vaList) StreamError();
    ReadWaveItem(r, item);
  }
  r.ListEnd();
}

void SkipResourceHeader(TStreamReader& r) {
  // The name is looked for in the first 79 bytes, the rest counting as zeros.
  const size_t available = std::min<size_t>(r.Remaining(), 79);
  std::span<const uint8_t> head = r.Take(available);
  if (available < 3 || head[0] != 0xFF || LittleEndian16(&head[1]) != 10) StreamError();
  size_t nameLength = 0;
  while (3 + nameLength < available && head[3 + nameLength] != 0)
    ++nameLength;
  r.Seek(3 + nameLength + 1 + 6);
}

void ReadComponent(TStreamReader& r, TDXWaveList& list) {
  const auto signature = r.Take(4);
  if (std::memcmp(signature.data(), "TPF0", 4) != 0) StreamError();
  const uint8_t prefix = r.Peek();
  if ((prefix & 0xF0) == 0xF0) {
    r.Byte();
    if (prefix & 0x02) ReadInteger(r);
  }
  r.ShortString();  // class name
  r.ShortString();  // object name
  while (!r.EndOfList()) {
    const std::string property = r.ShortString();
    if (SameTextAscii(property, "List"))
      ReadCollection(r, list);
    else
      SkipValue(r, 1);
  }
  r.ListEnd();
  // A wave collection owns no child components; anything else here is a damaged file.
  r.ListEnd();
}

}  // namespace

void ReadRiffWave(std::span<const uint8_t> riff, TWaveFormat& format, TWaveSamples& samples,
                  const std::shared_ptr<const void>& owner) {
  samples = TWaveSamples();
  const TSamplesAt data = WalkRiff(
      riff.size(), [&](size_t pos, size_t n) { return riff.subspan(pos, n); }, format);
  const auto bytes = riff.subspan(data.Offset, data.Size);
  samples = owner ? TWaveSamples(owner, bytes)
                  : TWaveSamples(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

namespace {

void ReadWaveList(std::span<const uint8_t> bytes, std::shared_ptr<const void> owner,
                  TDXWaveList& list) {
  list.Clear();
  TStreamReader r(bytes, std::move(owner));
  SkipResourceHeader(r);
  ReadComponent(r, list);
}

}  // namespace

void LoadWaveListFromMemory(std::span<const uint8_t> bytes, TDXWaveList& list) {
  // The items keep referring to the bytes, which the caller need not keep.
  auto copy = std::make_shared<const std::vector<uint8_t>>(bytes.begin(), bytes.end());
  const std::span<const uint8_t> view(*copy);
  ReadWaveList(view, std::move(copy), list);
  list.Initialize();
}

void LoadWaveList(const std::string& fileName, TDXWaveList& list) {
  list.Clear();
  // A regular file is read where it lies: its structure and the wave headers are checked,
  // and the tunes stay in the file, each read when it is first played. Looked at before it
  // is opened: opening some devices already does something.
  struct stat seen {};
  if (::stat(fileName.c_str(), &seen) == 0 && S_ISREG(seen.st_mode)) {
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat opened {};
    if (fd >= 0 && ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) &&
        static_cast<unsigned long long>(opened.st_size) <= kMaxWaveListBytes) {
      TStreamReader r(std::make_shared<const TOpenWaveFile>(fd, opened),
                      static_cast<size_t>(opened.st_size));
      SkipResourceHeader(r);
      ReadComponent(r, list);
      list.Initialize();
      return;
    }
    if (fd >= 0) ::close(fd);
  }
  // Anything else (no file, a folder, FIFO or device in its place, one too large) is named
  // by the whole-file reader, which refuses it.
  std::optional<std::string> read = ReadRegularFile(fileName, kMaxWaveListBytes);
  if (!read) throw std::runtime_error("ファイル '" + fileName + "' を開けません");
  auto bytes = std::make_shared<const std::string>(std::move(*read));
  ReadWaveList(std::span(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size()), bytes,
               list);
  list.Initialize();
}

}  // namespace velmora
