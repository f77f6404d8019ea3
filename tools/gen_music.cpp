// Renders the background music and writes the two music files the game looks for beside
// itself. Usage: gen_music OUTDIR
// The output is the same on every run, so rebuilding never churns the files.
#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "lib/MusicComposer.h"
#include "lib/WaveListWriter.h"

namespace {

namespace fs = std::filesystem;

// Writes through a temporary name so an interrupted build never leaves a truncated music
// file that the game would then fail to load.
void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  const fs::path temp = path.string() + ".tmp";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + temp.string());
  const size_t n = std::fwrite(bytes.data(), 1, bytes.size(), f);
  if (std::fclose(f) != 0 || n != bytes.size()) {
    fs::remove(temp);
    throw std::runtime_error("cannot write " + temp.string());
  }
  fs::rename(temp, path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  try {
    const fs::path dir = argv[1];
    fs::create_directories(dir);
    std::map<std::string, velmora::TWaveListEntry> tunes;
    for (const std::string& name : velmora::ExpandedMusicNames())
      tunes.emplace(name, velmora::MusicEntry(name, velmora::ComposeTune(name)));
    auto file = [&](const std::vector<std::string>& names) {
      std::vector<velmora::TWaveListEntry> entries;
      for (const std::string& name : names)
        entries.push_back(tunes.at(name));
      return velmora::WriteWaveList(entries);
    };
    WriteFile(dir / "DefMusic.dxw", file(velmora::DefaultMusicNames()));
    WriteFile(dir / "ExpMusic.dxw", file(velmora::ExpandedMusicNames()));
    std::printf("wrote %zu tunes to %s\n", tunes.size(), dir.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gen_music: %s\n", e.what());
    return 1;
  }
  return 0;
}
