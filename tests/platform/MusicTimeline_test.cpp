// Mission 1's music through the SDL layer's mix, against the game's own clock: every music
// command reaches the sound on the tick the mission list gives it, and the sound follows
// on that very tick.
#if __has_include(<SDL.h>)

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/headless/SimRunner.h"
#include "platform/sdl/SdlSound.h"
#include "shell/MainForm.h"

namespace velmora {
namespace {

constexpr int kRate = 44100;

// The mix without a device, kept in step with the game's virtual clock: before anything
// changes, the sound up to that moment is mixed, 16 ms at a time. Only the music is mixed
// (the guns would hide the fades); the effects are kept as silent bookkeeping.
class TClockedSound : public ISoundDevice {
 public:
  struct TCall {
    int FrameCount;  // the mission list's clock when the game asked
    uint32_t Time;   // the virtual time then
    std::string What;
    TWaveSamples Tune;  // what the tune holds
  };
  struct TLevel {
    double Heard;    // RMS in dBFS
    double Unfaded;  // the same tunes at full volume
    uint64_t First;  // the device frames these 16 ms cover: [First, End)
    uint64_t End;
  };
  std::vector<TCall> MusicCalls;
  std::map<uint32_t, TLevel> Levels;  // by the virtual time at the end of each 16 ms

  bool Initialize() override {
    On_ = true;
    return true;
  }
  void Finalize() override {
    CatchUp();
    On_ = false;
    Mixer_.Clear();
    Music_.clear();
  }
  bool Initialized() const override { return On_; }
  std::string LastError() const override { return {}; }
  TSoundBuffer CreateBuffer(const TWaveFormat& format, const TWaveSamples& samples) override {
    CatchUp();
    const TSoundBuffer b = Mixer_.CreateBuffer(format, samples);
    // A tune is minutes long; an effect is a fraction of a second.
    if (samples.size() > 1000000) {
      Music_[b] = Unfaded_.CreateBuffer(format, samples);
      Tunes_[b] = samples;
    }
    return b;
  }
  TSoundBuffer Duplicate(TSoundBuffer buffer) override { return Mixer_.Duplicate(buffer); }
  void Release(TSoundBuffer buffer) override {
    CatchUp();
    if (auto it = Music_.find(buffer); it != Music_.end()) {
      Unfaded_.Release(it->second);
      Music_.erase(it);
    }
    Mixer_.Release(buffer);
  }
  void Play(TSoundBuffer buffer, bool looped) override {
    if (!Log(buffer, looped ? "loop" : "once")) return;
    Mixer_.Play(buffer, looped);
    Unfaded_.Play(Music_[buffer], looped);
  }
  void Stop(TSoundBuffer buffer) override {
    if (!Log(buffer, "stop")) return;
    Mixer_.Stop(buffer);
    Unfaded_.Stop(Music_[buffer]);
  }
  bool IsPlaying(TSoundBuffer buffer) const override {
    return Music_.count(buffer) != 0 && Mixer_.IsPlaying(buffer);
  }
  void SetVolume(TSoundBuffer buffer, int volume) override {
    if (Log(buffer, std::to_string(volume))) Mixer_.SetVolume(buffer, volume);
  }

  void CatchUp() {
    if (!MainForm) return;
    const uint32_t now = MainForm->Platform.System.TickCount();
    if (!Started_) {
      Time_ = now;
      Started_ = true;
    }
    while (now - Time_ >= 16) {
      Time_ += 16;
      // 705.6 frames a tick: the fraction carried on, as a device's clock would.
      const uint64_t end = uint64_t{Time_ - Origin()} * kRate / 1000;
      const size_t frames = static_cast<size_t>(end - Mixed_);
      Levels[Time_] = {Level(Mixer_, frames), Level(Unfaded_, frames), Mixed_, end};
      Mixed_ = end;
    }
  }

 private:
  static double Level(TStreamMixer& mixer, size_t frames) {
    std::vector<float> block(frames * 2, 0.0f);
    mixer.Mix(block.data(), frames);
    double sum = 0;
    for (float v : block)
      sum += double{v} * v;
    return 10 * std::log10(std::max(sum / static_cast<double>(block.size()), 1e-20));
  }
  uint32_t Origin() {
    if (!Origin_) Origin_ = Time_;
    return *Origin_;
  }
  // Mixes up to now and notes a call on a tune; false for effects, which stay silent.
  bool Log(TSoundBuffer buffer, const std::string& what) {
    CatchUp();
    (void)Origin();
    auto it = Music_.find(buffer);
    if (it == Music_.end()) return false;
    MusicCalls.push_back({MainForm->FrameCount, Time_, what, Tunes_[buffer]});
    return true;
  }

  TStreamMixer Mixer_{kRate, 2};
  TStreamMixer Unfaded_{kRate, 2};
  std::map<TSoundBuffer, TSoundBuffer> Music_;  // a tune's buffer in Unfaded_
  std::map<TSoundBuffer, TWaveSamples> Tunes_;
  bool On_ = false;
  bool Started_ = false;
  uint32_t Time_ = 0;
  std::optional<uint32_t> Origin_;
  uint64_t Mixed_ = 0;
};

TEST(MusicTimelineTest, MissionOnesFadeStopAndBossTuneLandOnTheirTicksAndAreHeardThere) {
  TClockedSound sound;
  TSimOptions o;
  o.Dir = ::testing::TempDir();
  o.Data = VELMORA_DEFAULT_DATA_DIR;
  o.Seed = 7;
  o.Difficulty = 2;
  o.Start = "play:1";
  o.Auto = true;
  o.God = true;
  o.Until = "result";
  o.SdlAudio = true;
  std::ostringstream out, err;
  ASSERT_EQ(RunSim(o, out, err, &sound), 0) << err.str();

  // What the music commands of mission 1 asked of the sound, by the list's clock: the six
  // tunes made at full volume, BGM1 at the start (its volume set by the command, then by
  // the play), the fade in five steps 25 frames apart, STOP (which makes the tune afresh,
  // keeping its volume), the boss tune 100 frames later, STOP when the carrier goes down.
  std::vector<std::pair<int, std::string>> calls;
  for (const auto& c : sound.MusicCalls)
    calls.emplace_back(c.FrameCount, c.What);
  const std::vector<std::pair<int, std::string>> expected = {
      {0, "0"},        {0, "0"},        {0, "0"},        {0, "0"},        {0, "0"},
      {0, "0"},        {2, "0"},        {2, "0"},        {2, "loop"},     {3647, "-500"},
      {3672, "-1000"}, {3697, "-1500"}, {3722, "-2000"}, {3747, "-2500"}, {3772, "stop"},
      {3772, "-2500"}, {3872, "0"},     {3872, "0"},     {3872, "loop"},  {4182, "stop"},
      {4182, "0"}};
  constexpr size_t kFirstTune = 8, kFirstFade = 9, kStop = 14, kBossTune = 18;
  ASSERT_EQ(calls, expected);

  // Each of those ticks changes the sound in the 16 ms that follow it, not later: the
  // fades step down by the volume's ratio, STOP silences, the boss tune sounds at once.
  const auto before = [&](size_t call) { return sound.Levels.at(sound.MusicCalls[call].Time); };
  const auto after = [&](size_t call) { return sound.Levels.at(sound.MusicCalls[call].Time + 16); };
  EXPECT_LT(before(kFirstTune).Heard, -100.0);
  EXPECT_GT(after(kFirstTune).Heard, -60.0);
  double gainBefore = 0;
  for (size_t call = kFirstFade; call < kFirstFade + 5; ++call) {
    SCOPED_TRACE(expected[call].second);
    const double gain = 20 * std::log10(MixGain(std::stoi(expected[call].second)));
    EXPECT_NEAR(before(call).Heard - before(call).Unfaded, gainBefore, 0.01);
    EXPECT_NEAR(after(call).Heard - after(call).Unfaded, gain, 0.01);
    gainBefore = gain;
  }
  EXPECT_GT(before(kStop).Heard, -80.0);
  EXPECT_LT(after(kStop).Heard, -100.0);
  EXPECT_LT(before(kBossTune).Heard, -100.0);
  EXPECT_GT(after(kBossTune).Heard, -60.0);

  // BGM1 (16-bit mono at 22050 Hz, two device frames a sample) is over a minute long and
  // plays longer than that before the fade. Its rests are exact silence (-200 here, where a
  // sound at its faintest is some -100): through the loop point and after it, every tick
  // is silent exactly where the tune is, so the music neither drops out nor slips at the
  // join.
  const auto& start = sound.MusicCalls[kFirstTune];
  const auto& fade = sound.MusicCalls[kFirstFade];
  const size_t length = start.Tune.size() / 2;
  EXPECT_GT(length, size_t{60 * 22050});
  const uint64_t origin = sound.Levels.at(start.Time + 16).First;
  const auto silentInTune = [&](uint64_t from, uint64_t to) {
    for (uint64_t i = from; i < to; ++i) {
      const size_t at = static_cast<size_t>(i % length) * 2;
      if (start.Tune[at] != 0 || start.Tune[at + 1] != 0) return false;
    }
    return true;
  };
  int rests = 0, restsAfterJoin = 0;
  for (auto it = sound.Levels.upper_bound(start.Time); it->first <= fade.Time; ++it) {
    // The resampler looks a few samples either way: ticks at the edge of a rest are left out.
    const uint64_t from = (it->second.First - origin) / 2, to = (it->second.End - origin) / 2;
    const bool surelySilent = silentInTune(from > 16 ? from - 16 : 0, to + 16);
    const bool surelySounding = !silentInTune(from + 16, to > from + 32 ? to - 16 : from + 16);
    if (surelySilent) {
      EXPECT_LT(it->second.Heard, -150.0) << (it->first - start.Time) << " ms";
      ++rests;
      restsAfterJoin += from >= length ? 1 : 0;
    } else if (surelySounding) {
      EXPECT_GT(it->second.Heard, -150.0) << (it->first - start.Time) << " ms";
    }
  }
  ASSERT_GT(fade.Time - start.Time, length * 1000 / 22050);
  EXPECT_GT(restsAfterJoin, 0);
  EXPECT_GT(rests, restsAfterJoin);
}

}  // namespace
}  // namespace velmora

#endif
