#include "lib/MusicComposer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <sstream>
#include <stdexcept>

namespace velmora {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kStepsPerBar = 16;  // the grid is sixteenth notes in 4/4

// Our own generator, so a tune comes out the same with every compiler and library.
class TRng {
 public:
  explicit TRng(uint32_t seed) : State_(seed * 2654435761u + 12345u) {}
  uint32_t Next() {
    State_ = State_ * 1664525u + 1013904223u;
    return State_ >> 8;
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
  // Uniform in [-1, 1).
  double Noise() { return static_cast<double>(Next()) / 8388608.0 - 1.0; }

 private:
  uint32_t State_;
};

// ---------------------------------------------------------------------------------------
// Harmony

struct TChord {
  int Root = 0;            // pitch class
  std::vector<int> Tones;  // pitch classes, root first

  bool Has(int pc) const {
    pc = ((pc % 12) + 12) % 12;
    return std::find(Tones.begin(), Tones.end(), pc) != Tones.end();
  }
};

// "F", "Bb", "F#m", "C7", "Am".
TChord ParseChord(const std::string& text) {
  static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  if (text.empty() || text[0] < 'A' || text[0] > 'G') throw std::logic_error("bad chord " + text);
  int root = kLetters[text[0] - 'A'];
  size_t i = 1;
  if (i < text.size() && text[i] == '#') root += 1, ++i;
  if (i < text.size() && text[i] == 'b') root += 11, ++i;
  root %= 12;
  bool minor = false, seventh = false;
  for (; i < text.size(); ++i) {
    if (text[i] == 'm')
      minor = true;
    else if (text[i] == '7')
      seventh = true;
    else
      throw std::logic_error("bad chord " + text);
  }
  TChord c;
  c.Root = root;
  c.Tones = {root, (root + (minor ? 3 : 4)) % 12, (root + 7) % 12};
  if (seventh) c.Tones.push_back((root + 10) % 12);
  return c;
}

struct TKey {
  int Tonic = 60;  // MIDI note of melody degree 0
  bool Minor = false;

  // The MIDI note of a diatonic degree (0 = tonic, 7 = the octave above), bent by a semitone
  // where the chord sounds a note the scale does not have (the raised leading note of a
  // minor key's dominant, a secondary dominant's third).
  int Midi(int degree, const TChord& chord) const {
    const int octave = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
    const int k = degree - 7 * octave;
    int midi = Tonic + 12 * octave + Scale()[k];
    if (!chord.Has(midi)) {
      if (chord.Has(midi + 1) && !InScale(midi + 1))
        midi += 1;
      else if (chord.Has(midi - 1) && !InScale(midi - 1))
        midi -= 1;
    }
    return midi;
  }
  const int* Scale() const {
    static const int kMajor[7] = {0, 2, 4, 5, 7, 9, 11};
    static const int kMinor[7] = {0, 2, 3, 5, 7, 8, 10};
    return Minor ? kMinor : kMajor;
  }
  bool InScale(int midi) const {
    const int pc = ((midi - Tonic) % 12 + 12) % 12;
    return std::find(Scale(), Scale() + 7, pc) != Scale() + 7;
  }
  bool ChordTone(int degree, const TChord& chord) const { return chord.Has(Midi(degree, chord)); }
};

// The chord tones between lo and hi (MIDI), lowest first.
std::vector<int> Voicing(const TChord& chord, int lo, int hi) {
  std::vector<int> notes;
  for (int m = lo; m <= hi; ++m)
    if (chord.Has(m)) notes.push_back(m);
  return notes;
}

// ---------------------------------------------------------------------------------------
// Tunes

enum class TAccomp { Stabs, Arp16, Arp8, Pads };

struct TStyle {
  double LeadDuty;
  double LeadGate;  // fraction of a note's length that is held
  bool Echo;
  std::vector<std::string> Rhythms;   // melody bars: 'x' onset, '.' hold, '-' rest
  std::vector<std::string> Cadences;  // phrase endings, long final note
  std::array<std::string, 2> Bass;    // R root, F fifth, O octave, T third, A approach
  double BassGate;
  TAccomp Accomp;
  std::string Kick, Snare, Hat, BusyHat, FillKick, FillSnare;
};

struct TSection {
  char Id;
  std::string Chords;  // one chord a bar
  uint32_t Seed;       // melody seed; sections sharing it share their tune
  bool Lead = true;
};

struct TTune {
  std::string Name;
  double Bpm;
  TKey Key;
  int Lo, Hi;  // melody range in degrees
  const TStyle* Style;
  std::vector<TSection> Sections;
  std::string Form;  // section ids; '+' after an id adds a harmony voice and busier drums
};

const TStyle kMarch = {0.5,
                       0.82,
                       false,
                       {"x...x...x.x.x...", "x..xx...x...x...", "x.......x...x...",
                        "x.x.x.x.x...x...", "x...x..xx......."},
                       {"x...x...x......-", "x.......x......-"},
                       {"R...F...O...F...", "R...F...O...A..."},
                       0.6,
                       TAccomp::Stabs,
                       "x.......x.......",
                       "....x.......x...",
                       "x.x.x.x.x.x.x.x.",
                       "x.xxx.xxx.xxx.xx",
                       "x.......x.......",
                       "....x...xxxxx.xx"};

const TStyle kTense = {0.25,
                       0.9,
                       true,
                       {"x..x..x.x..x..x.", "x.x..x.x..x.x...", "-.x.x.x.x..x.x..",
                        "x..x..x...x.x.x.", "x.....x.x.x.x..."},
                       {"x..x..x.........", "x..............-"},
                       {"R.R.O.R.R.R.O.R.", "R.R.O.R.F.F.O.A."},
                       0.8,
                       TAccomp::Arp16,
                       "x.....x...x.....",
                       "....x.......x...",
                       "x.x.x.x.x.x.x.x.",
                       "xxxxxxxxxxxxxxxx",
                       "x.....x...x.....",
                       "....x.....xx.xxx"};

const TStyle kBoss = {0.25,
                      0.88,
                      true,
                      {"x.x.x.x.x.x.xxxx", "xx.xx.x.x..x..x.", "x..x..x.xxxx.x..",
                       "x...x.x.x.x.x.x.", "x..x..x.x..x.x.x"},
                      {"x..x..x.x.......", "x.x.x...x......."},
                      {"R.RRR.RRR.RRO.RR", "R.RRR.RRF.FFO.AA"},
                      0.85,
                      TAccomp::Arp16,
                      "x..x..x.x..x..x.",
                      "....x.......x...",
                      "xxxxxxxxxxxxxxxx",
                      "xxxxxxxxxxxxxxxx",
                      "x..x..x.x.......",
                      "....x...x.x.xxxx"};

const TStyle kHeroic = {0.5,
                        0.9,
                        true,
                        {"x.......x..xx...", "x..x..x.x.......", "x...x...x.x.x.x.",
                         "x.....x.x...x...", "x..xx...x.x....."},
                        {"x...x...x.......", "x..............-"},
                        {"R.R.F.R.O.R.F.R.", "R.R.F.R.O.F.T.A."},
                        0.75,
                        TAccomp::Pads,
                        "x.......x.x.....",
                        "....x.......x...",
                        "x.x.x.x.x.x.x.x.",
                        "x.xxx.xxx.xxx.xx",
                        "x.......x.x.....",
                        "....x.......xxxx"};

const TStyle kDark = {0.25,
                      0.95,
                      true,
                      {"x.......x...x...", "x.....x.x.......", "x..x..x.x.......",
                       "-...x...x.x.x...", "x.......x.x.x..."},
                      {"x...............", "x.......x......-"},
                      {"R.......R.R.R.R.", "R...........F.A."},
                      0.9,
                      TAccomp::Arp8,
                      "x.........x.....",
                      "........x.......",
                      "x...x...x...x...",
                      "x.x.x.x.x.x.x.x.",
                      "x.........x.....",
                      "........x...x.xx"};

const TStyle kTriumph = {0.25,
                         0.85,
                         false,
                         {"x..xx...x..xx...", "x...x.x.x...x...", "x.x.x.x.x.......",
                          "x.......x.x.x.x.", "x..x..x.x...x..."},
                         {"x...x...x......-", "x.......x......-"},
                         {"R.T.F.T.O.F.T.A.", "R.F.O.F.R.F.O.A."},
                         0.7,
                         TAccomp::Stabs,
                         "x...x...x...x...",
                         "....x.......x..x",
                         "x.x.x.x.x.x.x.x.",
                         "x.xxx.xxx.xxx.xx",
                         "x...x...x...x...",
                         "....x...x.x.xxxx"};

// Every tune ends on its dominant so the loop falls back onto the tonic of its first bar.
const std::vector<TTune>& Tunes() {
  static const std::vector<TTune> tunes = {
      {"BGM1",
       116,
       {65, false},
       0,
       11,
       &kMarch,
       {{'A', "F Bb F C F Bb C F", 11},
        {'B', "Dm Am Bb F Gm F C C", 23},
        {'Z', "F Bb F C F Bb Gm C7", 11}},
       "AA+BZ+"},
      {"BGM2",
       144,
       {62, true},
       0,
       11,
       &kTense,
       {{'I', "Dm Dm Bb A", 1, false},
        {'A', "Dm Bb C A Dm Bb Gm A", 31},
        {'B', "Gm Dm Gm Dm Bb C A A", 37},
        {'Z', "Dm Bb C A Gm Bb A A", 31}},
       "IAA+BZ"},
      {"BGM3",
       132,
       {62, false},
       0,
       11,
       &kHeroic,
       {{'A', "D G A D Bm G A D", 51},
        {'B', "G A F#m Bm G A Em A", 53},
        {'Z', "D G A D Bm G Em A7", 51}},
       "AA+BZ+"},
      {"BGM4",
       100,
       {57, true},
       0,
       11,
       &kDark,
       {{'I', "Am F Am E", 2, false},
        {'A', "Am F Dm E Am F Dm E", 61},
        {'B', "Dm Am Dm Am F G E E", 67},
        {'Z', "Am F Dm E F Dm E E", 61}},
       "IAB+Z"},
      {"BGM5",
       126,
       {67, false},
       -3,
       8,
       &kTriumph,
       {{'A', "G C D G Em C D G", 71},
        {'B', "C G Am Em C G A D", 73},
        {'Z', "G C D G Em C Am D7", 71}},
       "AA+BZ+"},
      {"BOSS",
       168,
       {64, true},
       0,
       11,
       &kBoss,
       {{'I', "Em Em C B", 3, false},
        {'A', "Em C D B Em C Am B", 41},
        {'B', "Am Em Am Em C D B B", 43},
        {'Z', "Em C D B C Am B B", 41}},
       "IAA+BB+Z"},
  };
  return tunes;
}

// ---------------------------------------------------------------------------------------
// Score: notes on the sixteenth grid of the whole tune

enum class TVoice { Lead, Harmony, Accomp, Bass };
enum class TDrum { Kick, Snare, Hat, Crash };

struct TNote {
  TVoice Voice;
  int Step, Length;  // sixteenths
  int Midi;
  double Velocity;
  int Degree = 0;  // melody notes: the diatonic degree, for the harmony voice
};

struct THit {
  TDrum Drum;
  int Step;
  double Velocity;
};

struct TScore {
  int Steps = 0;
  std::vector<TNote> Notes;
  std::vector<THit> Hits;
};

struct TOnset {
  int Step, Length;
};

std::vector<TOnset> Onsets(const std::string& rhythm) {
  std::vector<TOnset> out;
  for (int i = 0; i < kStepsPerBar; ++i) {
    if (rhythm[i] != 'x') continue;
    int end = i + 1;
    while (end < kStepsPerBar && rhythm[end] == '.')
      ++end;
    out.push_back({i, end - i});
  }
  return out;
}

std::vector<TChord> ParseChords(const std::string& text) {
  std::vector<TChord> chords;
  std::istringstream in(text);
  std::string word;
  while (in >> word)
    chords.push_back(ParseChord(word));
  return chords;
}

// Melodic steps of a motif, in degrees: mostly steps, some skips, a rare leap.
std::vector<int> Contour(TRng& rng, int count) {
  static const int kSteps[] = {-1, -1, -1, 1, 1, 1, -2, -2, 2, 2, 3, -3, 4, -4};
  std::vector<int> steps(count);
  bool moving = false;
  for (int& s : steps) {
    s = kSteps[rng.Below(static_cast<int>(std::size(kSteps)))];
    moving |= s != 0;
  }
  if (!moving && count > 1) steps[1] = 1;
  return steps;
}

class TMelodyWriter {
 public:
  TMelodyWriter(const TTune& tune, int start) : Tune_(tune), Last_(start) {}

  // One section's melody as degrees, bar by bar. The bar plan is the usual question and
  // answer: a motif, a contrast, the motif on new harmony, a phrase ending.
  void Write(const TSection& section, const std::vector<TChord>& chords, int firstStep,
             std::vector<TNote>& notes) {
    const TStyle& style = *Tune_.Style;
    TRng rng(section.Seed);
    const int nr = static_cast<int>(style.Rhythms.size());
    const int a = rng.Below(nr);
    const int b = (a + 1 + rng.Below(nr - 1)) % nr;
    const int halfIndex = rng.Below(2);
    const std::string& half = style.Cadences[halfIndex];
    const std::string& full = style.Cadences[1 - halfIndex];
    const auto motifA = Onsets(style.Rhythms[a]);
    const auto motifB = Onsets(style.Rhythms[b]);
    const auto contourA = Contour(rng, static_cast<int>(motifA.size()));
    const auto contourB = Contour(rng, static_cast<int>(motifB.size()));
    const int bars = static_cast<int>(chords.size());
    for (int bar = 0; bar < bars; ++bar) {
      const TChord& chord = chords[bar];
      const int at = firstStep + bar * kStepsPerBar;
      const int inPhrase = bar % 4;
      const bool last = bar == bars - 1;
      if (inPhrase == 3 || last) {
        Cadence(Onsets(last ? full : half), chord, last, at, notes);
      } else if (inPhrase == 1) {
        Motif(motifB, contourB, chord, at, notes);
      } else if (bar == 6) {
        // the second half turns the contrast motif upside down before the close
        std::vector<int> inverted = contourB;
        for (int& s : inverted)
          s = -s;
        Motif(motifB, inverted, chord, at, notes);
      } else {
        Motif(motifA, contourA, chord, at, notes);
      }
    }
  }

 private:
  int Clamp(int d, int& step) const {
    if (d + step > Tune_.Hi || d + step < Tune_.Lo) step = -step;
    return std::clamp(d + step, Tune_.Lo, Tune_.Hi);
  }

  // The chord tone nearest d, searching first in the direction of travel.
  int NearestChordTone(int d, int direction, const TChord& chord) const {
    const int dir = direction >= 0 ? 1 : -1;
    for (int r = 0; r <= 3; ++r)
      for (int s : {dir * r, -dir * r}) {
        const int c = d + s;
        if (c >= Tune_.Lo && c <= Tune_.Hi && Tune_.Key.ChordTone(c, chord)) return c;
      }
    return d;
  }

  void Emit(int at, const TOnset& o, int degree, const TChord& chord, std::vector<TNote>& notes,
            double velocity) {
    notes.push_back(
        {TVoice::Lead, at + o.Step, o.Length, Tune_.Key.Midi(degree, chord), velocity, degree});
    Last_ = degree;
  }

  void Motif(const std::vector<TOnset>& onsets, const std::vector<int>& contour,
             const TChord& chord, int at, std::vector<TNote>& notes) {
    int d = Last_;
    for (size_t i = 0; i < onsets.size(); ++i) {
      int step = contour[i];
      d = Clamp(d, step);
      // beats one and three sit on the harmony
      if (onsets[i].Step % 8 == 0) d = NearestChordTone(d, step, chord);
      Emit(at, onsets[i], d, chord, notes, onsets[i].Step % 4 == 0 ? 1.0 : 0.85);
    }
  }

  // Walks step by step onto a chord tone held to the end of the bar: the root when the
  // section closes, otherwise another tone of the chord so the phrase stays open.
  void Cadence(const std::vector<TOnset>& onsets, const TChord& chord, bool close, int at,
               std::vector<TNote>& notes) {
    int target = Last_;
    int best = 1000;
    for (int c = Tune_.Lo; c <= Tune_.Hi; ++c) {
      const int pc = ((Tune_.Key.Midi(c, chord) % 12) + 12) % 12;
      const bool wanted = close ? pc == chord.Root : (chord.Has(pc) && pc != chord.Root);
      if (wanted && std::abs(c - Last_) < best) {
        best = std::abs(c - Last_);
        target = c;
      }
    }
    const int n = static_cast<int>(onsets.size());
    int from = Last_ > target ? 1 : -1;
    if (target + from * (n - 1) > Tune_.Hi || target + from * (n - 1) < Tune_.Lo) from = -from;
    for (int i = 0; i < n; ++i) {
      const int d = std::clamp(target + from * (n - 1 - i), Tune_.Lo, Tune_.Hi);
      Emit(at, onsets[i], d, chord, notes, i == n - 1 ? 1.0 : 0.9);
    }
  }

  const TTune& Tune_;
  int Last_;
};

int BassNote(int pc) {
  return 40 + ((pc - 4) % 12 + 12) % 12;  // E2 .. D#3
}

void WriteBass(const TStyle& style, const TChord& chord, const TChord& next, int bar, int at,
               std::vector<TNote>& notes) {
  const std::string& pattern = style.Bass[bar % 2];
  const int root = BassNote(chord.Root);
  for (int i = 0; i < kStepsPerBar; ++i) {
    const char c = pattern[i];
    if (c == '.' || c == '-') continue;
    int end = i + 1;
    while (end < kStepsPerBar && pattern[end] == '.')
      ++end;
    int midi = root;
    switch (c) {
      case 'F':
        midi = root + 7;
        break;
      case 'O':
        midi = root + 12;
        break;
      case 'T':
        midi = root + ((chord.Tones[1] - chord.Root + 12) % 12);
        break;
      case 'A':
        // a chromatic step up into the next bar's root, or the fifth when the root stays
        midi = next.Root == chord.Root ? root + 7 : BassNote(next.Root) - 1;
        break;
      default:
        break;
    }
    notes.push_back({TVoice::Bass, at + i, end - i, midi, i % 4 == 0 ? 1.0 : 0.85});
  }
}

void WriteAccomp(const TStyle& style, const TChord& chord, int at, std::vector<TNote>& notes) {
  switch (style.Accomp) {
    case TAccomp::Stabs: {
      const auto v = Voicing(chord, 58, 70);
      for (int s = 2; s < kStepsPerBar; s += 4)
        for (size_t k = 0; k < v.size() && k < 3; ++k)
          notes.push_back({TVoice::Accomp, at + s, 1, v[k], 0.8});
      break;
    }
    case TAccomp::Arp16:
    case TAccomp::Arp8: {
      auto v = Voicing(chord, 57, 76);
      const bool fast = style.Accomp == TAccomp::Arp16;
      // up and back down, so the figure has a shape rather than a saw
      std::vector<int> cycle(v.begin(), v.begin() + std::min<size_t>(v.size(), 4));
      for (int k = static_cast<int>(cycle.size()) - 2; k > 0; --k)
        cycle.push_back(cycle[k]);
      const int len = fast ? 1 : 2;
      for (int s = 0, k = 0; s < kStepsPerBar; s += len, ++k)
        notes.push_back(
            {TVoice::Accomp, at + s, len, cycle[k % cycle.size()], s % 4 == 0 ? 1.0 : 0.75});
      break;
    }
    case TAccomp::Pads: {
      const auto v = Voicing(chord, 55, 67);
      for (size_t k = 0; k < v.size() && k < 3; ++k)
        notes.push_back({TVoice::Accomp, at, kStepsPerBar, v[k], 1.0});
      break;
    }
  }
}

void WriteDrums(const TStyle& style, bool busy, bool fill, bool crash, int at,
                std::vector<THit>& hits) {
  const std::string& kick = fill ? style.FillKick : style.Kick;
  const std::string& snare = fill ? style.FillSnare : style.Snare;
  const std::string& hat = busy ? style.BusyHat : style.Hat;
  for (int i = 0; i < kStepsPerBar; ++i) {
    if (kick[i] == 'x') hits.push_back({TDrum::Kick, at + i, 1.0});
    if (snare[i] == 'x')
      hits.push_back({TDrum::Snare, at + i, fill && i > 8 ? 0.6 + 0.05 * (i - 8) : 1.0});
    if (hat[i] == 'x') hits.push_back({TDrum::Hat, at + i, i % 4 == 0 ? 1.0 : 0.6});
  }
  if (crash) hits.push_back({TDrum::Crash, at, 1.0});
}

TScore Compose(const TTune& tune) {
  TScore score;
  const TStyle& style = *tune.Style;
  // (section, harmony) in play order
  std::vector<std::pair<const TSection*, bool>> order;
  for (size_t i = 0; i < tune.Form.size(); ++i) {
    if (tune.Form[i] == '+') continue;
    const bool plus = i + 1 < tune.Form.size() && tune.Form[i + 1] == '+';
    const auto it = std::find_if(tune.Sections.begin(), tune.Sections.end(),
                                 [&](const TSection& s) { return s.Id == tune.Form[i]; });
    if (it == tune.Sections.end()) throw std::logic_error("bad form " + tune.Form);
    order.push_back({&*it, plus});
  }
  std::vector<std::vector<TChord>> chords;
  for (const auto& [section, plus] : order)
    chords.push_back(ParseChords(section->Chords));

  int at = 0;
  TMelodyWriter melody(tune, 4);
  for (size_t s = 0; s < order.size(); ++s) {
    const TSection& section = *order[s].first;
    const bool plus = order[s].second;
    const auto& cs = chords[s];
    const size_t firstNote = score.Notes.size();
    if (section.Lead) melody.Write(section, cs, at, score.Notes);
    if (plus) {
      // the repeat gains a second voice a diatonic third under the tune
      const size_t end = score.Notes.size();
      for (size_t n = firstNote; n < end; ++n) {
        TNote h = score.Notes[n];
        const TChord& chord = cs[(h.Step - at) / kStepsPerBar];
        h.Midi = tune.Key.Midi(h.Degree - 2, chord);
        h.Voice = TVoice::Harmony;
        score.Notes.push_back(h);
      }
    }
    for (size_t bar = 0; bar < cs.size(); ++bar) {
      const bool lastBar = bar + 1 == cs.size();
      const TChord& next = !lastBar ? cs[bar + 1] : chords[(s + 1) % chords.size()].front();
      WriteBass(style, cs[bar], next, static_cast<int>(bar), at, score.Notes);
      WriteAccomp(style, cs[bar], at, score.Notes);
      WriteDrums(style, plus, lastBar, bar == 0 && (plus || s == 0), at, score.Hits);
      at += kStepsPerBar;
    }
  }
  score.Steps = at;
  return score;
}

// ---------------------------------------------------------------------------------------
// Sound

struct TTone {
  bool Triangle = false;
  double Duty = 0.5;
  double Attack, Decay, Sustain, Release;  // seconds, level
  double Vibrato = 0;                      // semitones
};

double MidiHz(double midi) {
  return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0);
}

// Softens the edges of a naive pulse so high notes do not fold back as whistles.
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1.0;
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

class TMixer {
 public:
  explicit TMixer(size_t length) : Mix_(length, 0.0) {}

  // Adds a sample at a position folded into the loop.
  void Add(size_t at, double v) { Mix_[at % Mix_.size()] += v; }
  std::vector<double>& Samples() { return Mix_; }

  void Tone(size_t start, size_t gate, double midi, double volume, const TTone& tone) {
    const size_t release = static_cast<size_t>(tone.Release * kMusicRate);
    const double hz = MidiHz(midi);
    double phase = 0;
    const double dc = tone.Triangle ? 0.0 : 2.0 * tone.Duty - 1.0;
    double gateLevel = 0;
    for (size_t i = 0; i < gate + release; ++i) {
      const double t = static_cast<double>(i) / kMusicRate;
      double env;
      if (i < gate) {
        if (t < tone.Attack)
          env = t / tone.Attack;
        else if (t < tone.Attack + tone.Decay)
          env = 1.0 - (1.0 - tone.Sustain) * (t - tone.Attack) / tone.Decay;
        else
          env = tone.Sustain;
        gateLevel = env;
      } else {
        env = gateLevel * (1.0 - static_cast<double>(i - gate) / release);
      }
      double f = hz;
      if (tone.Vibrato > 0 && t > 0.18) {
        const double depth = tone.Vibrato * std::min(1.0, (t - 0.18) / 0.25);
        f *= std::exp2(depth / 12.0 * std::sin(2 * kPi * 5.5 * (t - 0.18)));
      }
      const double dt = f / kMusicRate;
      double v;
      if (tone.Triangle) {
        // sixteen steps, the grainy triangle of old sound chips
        const double tri = 4.0 * std::abs(phase - 0.5) - 1.0;
        v = std::round((tri + 1.0) * 7.5) / 7.5 - 1.0;
      } else {
        v = phase < tone.Duty ? 1.0 : -1.0;
        v += PolyBlep(phase, dt);
        const double edge = phase + 1.0 - tone.Duty;
        v -= PolyBlep(edge >= 1.0 ? edge - 1.0 : edge, dt);
        v -= dc;
      }
      Add(start + i, v * env * volume);
      phase += dt;
      if (phase >= 1.0) phase -= 1.0;
    }
  }

  void Drum(size_t start, TDrum drum, double volume) {
    TRng noise(static_cast<uint32_t>(drum) + 7);
    double held = 0, prev = 0, phase = 0;
    // Every hit eases in over a millisecond and out at its end, so no drum clicks, and the
    // loop seam stays as smooth as any other moment of the tune.
    auto edges = [](size_t i, size_t length, double fadeOut) {
      return std::min({1.0, i / 22.0, (length - i) / fadeOut});
    };
    const size_t length = static_cast<size_t>(kMusicRate * (drum == TDrum::Kick    ? 0.22
                                                            : drum == TDrum::Snare ? 0.18
                                                            : drum == TDrum::Hat   ? 0.05
                                                                                   : 1.0));
    for (size_t i = 0; i < length; ++i) {
      const double t = static_cast<double>(i) / kMusicRate;
      double v = 0;
      switch (drum) {
        case TDrum::Kick: {
          phase += (48.0 + 120.0 * std::exp(-t * 32.0)) / kMusicRate;
          const double click = i < 60 ? noise.Noise() * (1.0 - i / 60.0) * 0.3 : 0.0;
          v = (std::sin(2 * kPi * phase) + click) * std::exp(-t * 13.0) * edges(i, length, 200);
          break;
        }
        case TDrum::Snare: {
          if (i % 2 == 0) held = noise.Noise();
          phase += 190.0 / kMusicRate;
          const double body =
              (4.0 * std::abs(phase - std::floor(phase) - 0.5) - 1.0) * std::exp(-t * 35.0) * 0.5;
          v = (held * std::exp(-t * 20.0) + body) * edges(i, length, 150);
          break;
        }
        case TDrum::Hat:
        case TDrum::Crash: {
          // differenced noise: the hiss without the rumble
          const double n = noise.Noise();
          const double decay = drum == TDrum::Hat ? 75.0 : 3.5;
          v = (n - prev) * 0.5 * std::exp(-t * decay) * edges(i, length, 500);
          prev = n;
          break;
        }
      }
      Add(start + i, v * volume);
    }
  }

 private:
  std::vector<double> Mix_;
};

std::vector<int16_t> Render(const TTune& tune) {
  const TScore score = Compose(tune);
  const TStyle& style = *tune.Style;
  const size_t step = static_cast<size_t>(std::lround(kMusicRate * 60.0 / (tune.Bpm * 4)));
  TMixer mix(score.Steps * step);

  const TTone lead = {false, style.LeadDuty, 0.004, 0.09, 0.7, 0.06, 0.18};
  const TTone harmony = {false, 0.125, 0.004, 0.09, 0.6, 0.05, 0.12};
  const TTone stab = {false, 0.25, 0.003, 0.05, 0.5, 0.03, 0};
  const TTone arp = {false, 0.125, 0.002, 0.04, 0.55, 0.02, 0};
  const TTone pad = {false, 0.5, 0.12, 0.3, 0.8, 0.15, 0.08};
  const TTone bass = {true, 0.5, 0.003, 0.05, 0.9, 0.03, 0};
  const size_t echoDelay = 3 * step;

  for (const TNote& n : score.Notes) {
    const size_t start = n.Step * step;
    switch (n.Voice) {
      case TVoice::Lead: {
        const size_t gate = static_cast<size_t>(n.Length * step * style.LeadGate);
        mix.Tone(start, gate, n.Midi, 0.20 * n.Velocity, lead);
        if (style.Echo) mix.Tone(start + echoDelay, gate, n.Midi, 0.06 * n.Velocity, lead);
        break;
      }
      case TVoice::Harmony:
        mix.Tone(start, static_cast<size_t>(n.Length * step * style.LeadGate), n.Midi,
                 0.09 * n.Velocity, harmony);
        break;
      case TVoice::Accomp:
        switch (style.Accomp) {
          case TAccomp::Stabs:
            mix.Tone(start, step, n.Midi, 0.045 * n.Velocity, stab);
            break;
          case TAccomp::Arp16:
          case TAccomp::Arp8:
            mix.Tone(start, static_cast<size_t>(n.Length * step * 0.8), n.Midi, 0.055 * n.Velocity,
                     arp);
            break;
          case TAccomp::Pads:
            mix.Tone(start, static_cast<size_t>(n.Length * step * 0.95), n.Midi, 0.035, pad);
            break;
        }
        break;
      case TVoice::Bass:
        mix.Tone(start, static_cast<size_t>(n.Length * step * style.BassGate), n.Midi,
                 0.30 * n.Velocity, bass);
        break;
    }
  }
  for (const THit& h : score.Hits) {
    static const double kLevels[] = {0.42, 0.20, 0.10, 0.09};
    mix.Drum(h.Step * step, h.Drum, kLevels[static_cast<int>(h.Drum)] * h.Velocity);
  }

  // A gentle low-pass takes the fizz off the 8-bit file. It runs round the loop twice so
  // the filter's state at the start is the one the end leaves behind: no seam.
  std::vector<double>& x = mix.Samples();
  const double a = 1.0 - std::exp(-2.0 * kPi * 7000.0 / kMusicRate);
  double y = 0;
  for (double v : x)
    y += a * (v - y);
  double peak = 0;
  for (double& v : x) {
    y += a * (v - y);
    v = y;
    peak = std::max(peak, std::abs(v));
  }
  // A soft knee rounds off the drum peaks; the tune then sits at the level it plays at in
  // the game, under the effects, with room left for them (its loudest sample about 8 dB
  // under full scale). The file is 16-bit, so being quiet costs the tune nothing.
  constexpr double kDrive = 1.2;
  const double scale = kMusicPeak * 32767.0 / std::tanh(kDrive);
  std::vector<int16_t> out(x.size());
  for (size_t i = 0; i < x.size(); ++i)
    out[i] =
        static_cast<int16_t>(peak > 0 ? std::lround(std::tanh(kDrive * x[i] / peak) * scale) : 0);
  return out;
}

}  // namespace

const std::vector<std::string>& DefaultMusicNames() {
  static const std::vector<std::string> names = {"BGM1", "BGM2", "BOSS"};
  return names;
}

const std::vector<std::string>& ExpandedMusicNames() {
  static const std::vector<std::string> names = {"BGM1", "BGM2", "BGM3", "BGM4", "BGM5", "BOSS"};
  return names;
}

std::vector<int16_t> ComposeTune(const std::string& name) {
  for (const TTune& tune : Tunes())
    if (tune.Name == name) return Render(tune);
  throw std::invalid_argument("no tune named " + name);
}

TWaveListEntry MusicEntry(const std::string& name, const std::vector<int16_t>& samples) {
  TWaveListEntry e;
  e.Name = name;
  e.Looped = true;
  e.MaxPlayingCount = 0;
  e.Format.FormatTag = 1;
  e.Format.Channels = 1;
  e.Format.SamplesPerSec = kMusicRate;
  e.Format.AvgBytesPerSec = kMusicRate * 2;
  e.Format.BlockAlign = 2;
  e.Format.BitsPerSample = 16;
  e.Samples.resize(samples.size() * 2);
  for (size_t i = 0; i < samples.size(); ++i) {
    const auto v = static_cast<uint16_t>(samples[i]);
    e.Samples[2 * i] = static_cast<uint8_t>(v & 0xFF);
    e.Samples[2 * i + 1] = static_cast<uint8_t>(v >> 8);
  }
  return e;
}

}  // namespace velmora
