// Synthesises the game's five sound effects as 22050 Hz mono 8-bit PCM waves.
// Usage: gen_sounds OUTDIR
// The output is the same on every run: the noise comes from a fixed-seed generator.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "lib/WaveListWriter.h"

namespace {

using velmora::MakeRiffWave;
using velmora::TWaveFormat;

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;
constexpr size_t kHeaderBytes = 44;  // RIFF + "fmt " (16 bytes) + "data" headers

class TNoise {
 public:
  explicit TNoise(uint32_t seed) : State_(seed) {}
  // Uniform in [-1, 1).
  double Next() {
    State_ = State_ * 1664525u + 1013904223u;
    return static_cast<double>(State_ >> 8) / 8388608.0 - 1.0;
  }

 private:
  uint32_t State_;
};

// A one-pole low-pass filter; cutoff in Hz.
class TLowPass {
 public:
  double Run(double x, double cutoff) {
    const double a = 1.0 - std::exp(-2.0 * kPi * cutoff / kRate);
    Y_ += a * (x - Y_);
    return Y_;
  }

 private:
  double Y_ = 0;
};

// Fills `count` samples from f(t, i), rounds off its peaks and scales it so its loudest
// sample lies at `peakDb` dBFS, then writes it as unsigned 8-bit. Each effect gets its own
// level here, chosen for the mix: the game plays several at once over the music, so none
// of them may take the whole range for itself.
std::vector<uint8_t> Render(size_t count, double peakDb,
                            const std::function<double(double, size_t)>& f) {
  std::vector<double> x(count);
  double peak = 0;
  for (size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    x[i] = std::tanh(f(t, i) * 1.2);
    // Fade the last 2 ms so no effect ends on a click.
    const double tail = static_cast<double>(count - i) / (kRate * 0.002);
    if (tail < 1.0) x[i] *= tail;
    peak = std::max(peak, std::abs(x[i]));
  }
  const double scale = peak > 0 ? 128.0 * std::pow(10.0, peakDb / 20.0) / peak : 0.0;
  std::vector<uint8_t> out(count);
  for (size_t i = 0; i < count; ++i)
    out[i] = static_cast<uint8_t>(std::clamp(std::lround(128.0 + scale * x[i]), 0L, 255L));
  return out;
}

// Recorded sizes of the effects the game was tuned with; keeping them keeps timings alike.
size_t SamplesFor(size_t fileBytes) {
  return fileBytes - kHeaderBytes;
}

// The loudest effect, but still well under full scale: a kill often comes with others and
// over the music. The weight is in the low thump and rumble, felt more than heard.
std::vector<uint8_t> Explosion() {
  TNoise noise(0x5EED0001);
  TLowPass body, rumble;
  double phase = 0;
  return Render(SamplesFor(52396), -6.0, [&](double t, size_t) {
    const double attack = std::min(1.0, t / 0.004);
    const double env = attack * std::exp(-t * 2.2);
    // The roar darkens as it fades.
    const double cutoff = 200.0 + 2200.0 * std::exp(-t * 5.0);
    const double roar = body.Run(noise.Next(), cutoff) * 2.2;
    const double deep = rumble.Run(noise.Next(), 90.0) * 6.5;
    phase += 2.0 * kPi * (55.0 - 25.0 * std::min(t, 1.0)) / kRate;
    const double thump = std::sin(phase) * std::exp(-t * 5.0) * 0.9;
    return env * (roar + deep) + thump * attack;
  });
}

std::vector<uint8_t> Kan() {
  // Inharmonic partials give the ring of struck metal.
  const double partials[][3] = {{2150.0, 1.0, 90.0}, {3410.0, 0.6, 120.0}, {5230.0, 0.35, 160.0}};
  TNoise noise(0x5EED0002);
  return Render(SamplesFor(620), -10.0, [&](double t, size_t) {
    double x = 0;
    for (const auto& p : partials)
      x += p[1] * std::sin(2.0 * kPi * p[0] * t) * std::exp(-t * p[2]);
    const double click = noise.Next() * std::exp(-t * 900.0) * 0.6;
    return x * 0.55 + click;
  });
}

// A gun crack: a burst of bright noise over a short falling thump. Guns fire all the time
// and several at once, so they sit well down: punchy, never full scale.
std::vector<uint8_t> Gun(size_t fileBytes, double peakDb, uint32_t seed, double crackDecay,
                         double thumpFrom, double thumpTo, double thumpDecay, double cutoff) {
  TNoise noise(seed);
  TLowPass crack;
  double phase = 0;
  const double length = static_cast<double>(SamplesFor(fileBytes)) / kRate;
  return Render(SamplesFor(fileBytes), peakDb, [&](double t, size_t) {
    const double burst = crack.Run(noise.Next(), cutoff) * 2.2 * std::exp(-t * crackDecay);
    const double f = thumpFrom + (thumpTo - thumpFrom) * (t / length);
    phase += 2.0 * kPi * f / kRate;
    const double thump = std::sin(phase) * std::exp(-t * thumpDecay) * 0.9;
    return burst + thump;
  });
}

std::vector<uint8_t> GetItem() {
  struct TNote {
    double Start, Frequency;
  };
  const TNote notes[] = {{0.0, 1046.5}, {0.11, 1568.0}};
  return Render(SamplesFor(18456), -8.0, [&](double t, size_t) {
    double x = 0;
    for (const TNote& n : notes) {
      if (t < n.Start) continue;
      const double u = t - n.Start;
      const double env = std::min(1.0, u / 0.003) * std::exp(-u * 5.5);
      const double w = 2.0 * kPi * n.Frequency * u;
      // A little of the octave and the twelfth makes it sparkle.
      x += env * (std::sin(w) + 0.3 * std::sin(2.0 * w) + 0.12 * std::sin(3.0 * w));
    }
    return x * 0.45;
  });
}

bool Write(const std::string& dir, const std::string& name, const std::vector<uint8_t>& samples) {
  TWaveFormat format;  // PCM, mono, 22050 Hz, 8 bits
  format.SamplesPerSec = kRate;
  format.AvgBytesPerSec = kRate;
  format.BlockAlign = 1;
  format.BitsPerSample = 8;
  const std::vector<uint8_t> riff = MakeRiffWave(format, samples);
  const std::string path = dir + "/" + name + ".wav";
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(riff.data()), static_cast<std::streamsize>(riff.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "gen_sounds: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: gen_sounds OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  bool ok = true;
  ok &= Write(dir, "Explosion", Explosion());
  ok &= Write(dir, "kan!!", Kan());
  ok &= Write(dir, "30cal", Gun(1872, -7.0, 0x5EED0003, 190.0, 140.0, 70.0, 45.0, 4500.0));
  ok &= Write(dir, "50cal", Gun(4656, -7.0, 0x5EED0004, 60.0, 95.0, 45.0, 22.0, 3500.0));
  ok &= Write(dir, "GetItem", GetItem());
  return ok ? 0 : 1;
}
