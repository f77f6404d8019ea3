// Writes the seed corpus of the wave-list fuzzer: a few small valid files and damaged ones.
// Usage: make_wavelist_corpus OUTDIR
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "lib/WaveListWriter.h"

using velmora::TWaveListEntry;

namespace {

void Save(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(dir + "/" + name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

TWaveListEntry Entry(const std::string& name, size_t bytes, bool looped, int maxPlaying) {
  TWaveListEntry e;
  e.Name = name;
  e.Looped = looped;
  e.MaxPlayingCount = maxPlaying;
  for (size_t i = 0; i < bytes; ++i)
    e.Samples.push_back(static_cast<uint8_t>(128 + (i % 7)));
  return e;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_wavelist_corpus OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  Save(dir, "empty", velmora::WriteWaveList({}));
  Save(dir, "one", velmora::WriteWaveList({Entry("30cal", 8, false, 0)}));
  Save(dir, "music",
       velmora::WriteWaveList(
           {Entry("BGM1", 6, true, 0), Entry("BGM2", 4, true, 1), Entry("BOSS", 2, false, 300)}));

  TWaveListEntry stereo = Entry("stereo", 8, false, 70000);
  stereo.Format.Channels = 2;
  stereo.Format.BitsPerSample = 16;
  stereo.Format.BlockAlign = 4;
  stereo.Format.AvgBytesPerSec = 88200;
  stereo.Format.Extra = {0xAB, 0xCD};
  Save(dir, "stereo16", velmora::WriteWaveList({stereo}));

  // A chunk the reader must skip between "fmt " and "data".
  TWaveListEntry chunky = Entry("chunky", 4, false, 0);
  std::vector<uint8_t> riff = velmora::MakeRiffWave(chunky.Format, chunky.Samples);
  const std::vector<uint8_t> extra = {'L', 'I', 'S', 'T', 2, 0, 0, 0, 'h', 'i'};
  riff.insert(riff.begin() + 36, extra.begin(), extra.end());
  chunky.RawRiff = riff;
  Save(dir, "extra_chunk", velmora::WriteWaveList({chunky}));

  std::vector<uint8_t> bad = velmora::WriteWaveList({Entry("bad", 4, false, 0)});
  std::vector<uint8_t> badHeader = bad;
  badHeader[0] = 0xFE;
  Save(dir, "bad_header", badHeader);
  std::vector<uint8_t> badRiff = bad;
  for (size_t i = 0; i + 4 <= badRiff.size(); ++i)
    if (std::string(badRiff.begin() + i, badRiff.begin() + i + 4) == "RIFF") badRiff[i] = 'X';
  Save(dir, "bad_riff", badRiff);
  bad.resize(bad.size() - 20);
  Save(dir, "truncated", bad);
  return 0;
}
