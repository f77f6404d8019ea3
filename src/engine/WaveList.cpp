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

// Every read is checked against the bytes really present; running short is a damaged
// stream.
class TStreamReader {
 public:
  // `owner` keeps the bytes alive: the waves read refer to them instead of copying.
  TStreamReader(std::span<const uint8_t> bytes, std::shared_ptr<const void> owner)
      : Owner(std::move(owner)), Bytes_(bytes) {}

  const std::shared_ptr<const void> Owner;

  size_t Remaining() const { return Bytes_.size() - Pos_; }
  void Seek(size_t pos) {
    if (pos > Bytes_.size()) StreamError();
    Pos_ = pos;
  }

  std::span<const uint8_t> Take(uint64_t n) {
    if (n > Remaining()) StreamError();
    auto out = Bytes_.subspan(Pos_, static_cast<size_t>(n));
    Pos_ += static_cast<size_t>(n);
    return out;
  }
  uint8_t Peek() const {
    if (Remaining() == 0) StreamError();
    return Bytes_[Pos_];
  }
  uint8_t Byte() { return Take(1)[0]; }
  uint16_t U16() { return LittleEndian16(Take(2).data()); }
  uint32_t U32() { return LittleEndian32(Take(4).data()); }

  std::string Chars(uint64_t n) {
    auto bytes = Take(n);
    return std::string(bytes.begin(), bytes.end());
  }
  std::string ShortString() { return Chars(Byte()); }

  bool EndOfList() const { return Peek() == vaNull; }
  void ListEnd() {
    if (Byte() != vaNull) StreamError();
  }

 private:
  std::span<const uint8_t> Bytes_;
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

std::span<const uint8_t> ReadBinary(TStreamReader& r) {
  if (r.Byte() != vaBinary) StreamError();
  return r.Take(r.U32());
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
      r.Take(1);
      return;
    case vaInt16:
      r.Take(2);
      return;
    case vaInt32:
    case vaSingle:
      r.Take(4);
      return;
    case vaCurrency:
    case vaDate:
    case vaInt64:
    case vaDouble:
      r.Take(8);
      return;
    case vaExtended:
      r.Take(10);
      return;
    case vaString:
    case vaIdent:
      r.Take(r.Byte());
      return;
    case vaBinary:
    case vaLString:
    case vaUTF8String:
      r.Take(r.U32());
      return;
    case vaWString:
      r.Take(uint64_t{r.U32()} * 2);
      return;
    case vaSet:
      for (uint8_t length = r.Byte(); length != 0; length = r.Byte())
        r.Take(length);
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
        ReadRiffWave(ReadBinary(r), item.Format, item.Samples, r.Owner);
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
  if (riff.size() < 12 || std::memcmp(riff.data(), "RIFF", 4) != 0 ||
      std::memcmp(riff.data() + 8, "WAVE", 4) != 0)
    WaveError();
  format = TWaveFormat{};
  samples = TWaveSamples();
  std::span<const uint8_t> data;
  bool hasFormat = false;
  size_t pos = 12;
  while (riff.size() - pos >= 8) {
    const uint8_t* header = riff.data() + pos;
    if (LittleEndian32(header) == 0) break;
    const uint32_t size = LittleEndian32(header + 4);
    pos += 8;
    if (size > riff.size() - pos) WaveError();
    const uint8_t* body = riff.data() + pos;
    if (std::memcmp(header, "fmt ", 4) == 0) {
      if (size < 16) WaveError();
      hasFormat = true;
      format.FormatTag = LittleEndian16(body);
      format.Channels = LittleEndian16(body + 2);
      format.SamplesPerSec = LittleEndian32(body + 4);
      format.AvgBytesPerSec = LittleEndian32(body + 8);
      format.BlockAlign = LittleEndian16(body + 12);
      format.BitsPerSample = LittleEndian16(body + 14);
      format.Extra.clear();
      if (size > 18) format.Extra.assign(body + 18, body + size);
    } else if (std::memcmp(header, "data", 4) == 0) {
      data = std::span(body, size);
    }
    pos += size;
  }
  // Only what the sound layer can play is a wave, so a bad one fails here, at load, whether
  // or not a sound device exists; nothing is guessed for a missing format.
  const bool playable = format.FormatTag == 1 && (format.Channels == 1 || format.Channels == 2) &&
                        (format.BitsPerSample == 8 || format.BitsPerSample == 16) &&
                        format.SamplesPerSec >= 1000 && format.SamplesPerSec <= 192000;
  if (!hasFormat || !playable) WaveError();
  samples = owner ? TWaveSamples(owner, data)
                  : TWaveSamples(std::vector<uint8_t>(data.begin(), data.end()));
}

namespace {

void ReadWaveList(std::span<const uint8_t> bytes, std::shared_ptr<const void> owner,
                  TDXWaveList& list) {
  list.Clear();
  TStreamReader r(bytes, std::move(owner));
  SkipResourceHeader(r);
  ReadComponent(r, list);
}

// A music file kept open after it has been read and checked, so that each tune can be
// read from it when it is first played.
class TOpenWaveFile {
 public:
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

// The file read at `path` into `bytes`, still the same file and now open; nothing when
// it cannot be told to be the same.
std::shared_ptr<const TOpenWaveFile> ReopenSameFile(const std::string& path,
                                                    const struct stat& before,
                                                    const std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat after {};
  if (::fstat(fd, &after) != 0 || !S_ISREG(after.st_mode) || !TOpenWaveFile::Same(before, after) ||
      static_cast<unsigned long long>(after.st_size) != bytes.size()) {
    ::close(fd);
    return nullptr;
  }
  return std::make_shared<const TOpenWaveFile>(fd, after);
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
  struct stat before {};
  const bool statted = ::stat(fileName.c_str(), &before) == 0;
  // A folder, FIFO or device in the file's place is named at once instead of read for ever.
  std::optional<std::string> read = ReadRegularFile(fileName, kMaxWaveListBytes);
  if (!read) throw std::runtime_error("ファイル '" + fileName + "' を開けません");
  auto bytes = std::make_shared<const std::string>(std::move(*read));
  const auto* start = reinterpret_cast<const uint8_t*>(bytes->data());
  ReadWaveList(std::span(start, bytes->size()), bytes, list);
  // Read and checked whole; the tunes themselves are left in the file until each is first
  // played, so memory holds only what has been heard. Where the file cannot be kept open
  // as the one just read, the items keep the bytes read.
  if (statted) {
    if (auto file = ReopenSameFile(fileName, before, *bytes)) {
      for (int i = 0; i < list.Count(); ++i) {
        TWaveItem& item = list.Items(i);
        if (item.Samples.empty()) continue;
        const uint64_t offset = static_cast<uint64_t>(item.Samples.data() - start);
        const uint8_t silence = item.Format.BitsPerSample == 8 ? 0x80 : 0x00;
        item.Samples = TWaveSamples(
            std::make_shared<const TFileSamples>(file, offset, item.Samples.size(), silence),
            item.Samples.size());
      }
    }
  }
  bytes.reset();
  list.Initialize();
}

}  // namespace velmora
