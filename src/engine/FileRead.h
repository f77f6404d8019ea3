// Reading whole files that a player may have replaced by anything: a folder, a FIFO, a
// device or something huge must give a clear message at once instead of hanging or
// reading for ever.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace velmora {

// The bytes of a regular file, or nothing when there is no file at that path. Throws
// std::runtime_error naming the file when the path holds something other than a regular
// file, when the file is larger than maxBytes, or when it cannot be read.
std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes);

// Whether the path names a regular file (symbolic links followed).
bool IsRegularFile(const std::string& path);

}  // namespace velmora
