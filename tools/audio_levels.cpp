// Measures a stretch of raw PCM, such as SDL's disk audio driver writes: peak and RMS in
// dBFS and the share of samples at full scale. Samples are little-endian, 16-bit signed
// or 32-bit float (full scale 1.0).
// Usage: audio_levels FILE [--format s16|f32] [--rate HZ] [--channels N] [--from SEC]
//                          [--to SEC] [--max-full-scale PERCENT] [--min-rms DBFS]
// A negative --from or --to counts back from the end of the recording.
// With a limit given, exits 1 when the stretch breaks it (too many full-scale samples,
// or quieter than the RMS floor), so a test can run it directly.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TArgs {
  std::string File;
  bool Float = false;
  int Rate = 44100;
  int Channels = 2;
  double From = 0;
  double To = std::numeric_limits<double>::infinity();
  std::optional<double> MaxFullScale;  // percent
  std::optional<double> MinRms;        // dBFS
};

double Number(const std::string& text, const std::string& what) {
  size_t used = 0;
  double v = 0;
  try {
    v = std::stod(text, &used);
  } catch (const std::logic_error&) {
    used = 0;
  }
  if (used == 0 || used != text.size()) throw std::invalid_argument("bad " + what + ": " + text);
  return v;
}

TArgs Parse(int argc, char** argv) {
  TArgs a;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--format") {
      const std::string f = value();
      if (f != "s16" && f != "f32") throw std::invalid_argument("unknown format " + f);
      a.Float = f == "f32";
    } else if (arg == "--rate")
      a.Rate = static_cast<int>(Number(value(), "rate"));
    else if (arg == "--channels")
      a.Channels = static_cast<int>(Number(value(), "channel count"));
    else if (arg == "--from")
      a.From = Number(value(), "start");
    else if (arg == "--to")
      a.To = Number(value(), "end");
    else if (arg == "--max-full-scale")
      a.MaxFullScale = Number(value(), "full-scale limit");
    else if (arg == "--min-rms")
      a.MinRms = Number(value(), "RMS floor");
    else if (!arg.empty() && arg[0] != '-' && a.File.empty())
      a.File = arg;
    else
      throw std::invalid_argument("unknown argument " + arg);
  }
  if (a.File.empty()) throw std::invalid_argument("no file given");
  if (a.Rate <= 0 || a.Channels <= 0) throw std::invalid_argument("bad rate or channel count");
  return a;
}

double Dbfs(double level) {
  return level > 0 ? 20.0 * std::log10(level) : -std::numeric_limits<double>::infinity();
}

}  // namespace

int main(int argc, char** argv) {
  TArgs a;
  try {
    a = Parse(argc, argv);
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr,
                 "audio_levels: %s\nusage: audio_levels FILE [--format s16|f32] [--rate HZ] "
                 "[--channels N] [--from SEC] [--to SEC] [--max-full-scale PERCENT] "
                 "[--min-rms DBFS]\n",
                 e.what());
    return 2;
  }
  std::ifstream in(a.File, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "audio_levels: cannot read %s\n", a.File.c_str());
    return 2;
  }
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>()};
  const size_t width = a.Float ? 4 : 2;
  const size_t frames = bytes.size() / width / static_cast<size_t>(a.Channels);
  const double length = static_cast<double>(frames) / a.Rate;
  const auto frameAt = [&](double seconds) {
    if (seconds < 0) seconds += length;
    if (seconds <= 0) return size_t{0};
    return std::min(frames, static_cast<size_t>(std::min(seconds * a.Rate, 1e15)));
  };
  const size_t first = frameAt(a.From), last = frameAt(a.To);
  // -3 dBFS: where the game's output limiter starts to bend peaks down.
  const double knee = std::pow(10.0, -3.0 / 20.0);
  size_t count = 0, fullScale = 0, overKnee = 0;
  double sumSquares = 0;
  double peak = 0;
  for (size_t i = first * a.Channels; i < last * a.Channels; ++i) {
    uint32_t word = 0;
    for (size_t b = 0; b < width; ++b)
      word |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[width * i + b])) << (8 * b);
    double s;
    if (a.Float) {
      float f;
      std::memcpy(&f, &word, sizeof f);
      s = f;
    } else {
      s = static_cast<int16_t>(static_cast<uint16_t>(word)) / 32768.0;
    }
    const double magnitude = std::abs(s);
    peak = std::max(peak, magnitude);
    // 32767 is as far as a 16-bit sample goes upwards; a float sample that reaches 1.0
    // would be cut there on its way to the sound card.
    if (magnitude >= 32767 / 32768.0) ++fullScale;
    if (magnitude > knee) ++overKnee;
    sumSquares += s * s;
    ++count;
  }
  if (count == 0) {
    std::fprintf(stderr, "audio_levels: %s holds no samples between %g s and %g s\n",
                 a.File.c_str(), a.From, a.To);
    return 1;
  }
  const double peakDb = Dbfs(peak);
  const double rmsDb = Dbfs(std::sqrt(sumSquares / count));
  const double fullPercent = 100.0 * fullScale / count;
  std::printf("%.2f s  peak %.1f dBFS  rms %.1f dBFS  full scale %.3f %%  over -3 dBFS %.3f %%\n",
              static_cast<double>(last - first) / a.Rate, peakDb, rmsDb, fullPercent,
              100.0 * overKnee / count);
  bool ok = true;
  if (a.MaxFullScale && fullPercent > *a.MaxFullScale) {
    std::fprintf(stderr, "audio_levels: %.3f %% of the samples are at full scale (limit %g %%)\n",
                 fullPercent, *a.MaxFullScale);
    ok = false;
  }
  if (a.MinRms && !(rmsDb >= *a.MinRms)) {
    std::fprintf(stderr, "audio_levels: RMS %.1f dBFS is below %g dBFS: silent\n", rmsDb,
                 *a.MinRms);
    ok = false;
  }
  return ok ? 0 : 1;
}
