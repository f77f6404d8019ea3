// Where the music, help and example missions of an installed copy are.
#pragma once

#include <string>

namespace velmora {

// An installed copy keeps its data in "share/velmora" beside the "bin" (or "games") folder
// the program is in; the path of that folder when it exists, otherwise empty (a copy run
// where it was built or unpacked finds everything beside itself). Only relative to the
// program, so a prefix moved elsewhere, or mounted read-only, still works.
std::string InstalledDataFolder(const std::string& programFolder);

// The data folder of a program in programFolder: beside it when its music is there,
// else the installed share folder, else the fallback.
std::string FindDataFolder(const std::string& programFolder, const std::string& fallback);

}  // namespace velmora
