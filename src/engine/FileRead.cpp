#include "engine/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace velmora {

namespace {

std::runtime_error Failure(const std::string& path, const std::string& why) {
  return std::runtime_error("ファイル '" + path + "' " + why);
}

std::runtime_error NotRegular(const std::string& path) {
  return Failure(path, "は通常のファイルではありません");
}

}  // namespace

bool IsRegularFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes) {
  // Looked at before it is opened: opening some devices already does something, and a
  // FIFO without a writer would block the open.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
    throw Failure(path, std::string("を読めません: ") + std::strerror(errno));
  }
  if (!S_ISREG(st.st_mode)) throw NotRegular(path);
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    throw Failure(path, std::string("を読めません: ") + std::strerror(errno));
  }
  std::string bytes;
  try {
    // Checked again on what was opened, in case the path changed in between.
    if (::fstat(fd, &st) != 0)
      throw Failure(path, std::string("を読めません: ") + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) throw NotRegular(path);
    const auto tooBig = [&] {
      return Failure(path, "は大きすぎます（" + std::to_string(maxBytes) + " バイトまで）");
    };
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) throw tooBig();
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    // A file that grows while it is read is read up to the limit and refused beyond it.
    // Its end is looked for with a small read first: growing the string for it would leave
    // a file that did not grow taking twice its size.
    while (true) {
      if (done == bytes.size()) {
        char probe[4096];
        const ssize_t n = ::read(fd, probe, sizeof probe);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw Failure(path, std::string("を読めません: ") + std::strerror(errno));
        if (n == 0) break;
        if (done + static_cast<size_t>(n) > maxBytes) throw tooBig();
        bytes.resize(std::min(maxBytes + 1, bytes.size() * 2 + sizeof probe));
        std::memcpy(bytes.data() + done, probe, static_cast<size_t>(n));
        done += static_cast<size_t>(n);
        continue;
      }
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) throw Failure(path, std::string("を読めません: ") + std::strerror(errno));
      if (n == 0) break;
      done += static_cast<size_t>(n);
      if (done > maxBytes) throw tooBig();
    }
    bytes.resize(done);
  } catch (...) {
    ::close(fd);
    throw;
  }
  ::close(fd);
  return bytes;
}

}  // namespace velmora
