#include "shell/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace velmora {

namespace {

constexpr const char* kLockName = "/velmora.lock";
int LockFd = -1;

// The file's descriptor, -1 when it cannot be opened there.
int OpenLockFile(const std::string& folder) {
  if (folder.empty()) return -1;
  return ::open((folder + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
}

}  // namespace

bool AcquireSingleInstance(const std::string& folder) {
  if (LockFd >= 0) return true;
  int fd = OpenLockFile(folder);
  if (fd < 0) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    fd = OpenLockFile(runtime ? runtime : "");
  }
  if (fd < 0) return true;
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const bool heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return !heldElsewhere;
  }
  // The descriptor stays open; the lock goes with the process, however it ends.
  LockFd = fd;
  return true;
}

void ReleaseSingleInstance() {
  if (LockFd < 0) return;
  ::flock(LockFd, LOCK_UN);
  ::close(LockFd);
  LockFd = -1;
}

}  // namespace velmora
