// What velmora-sim sees of a frame: the JSON trace line and the golden digest, which
// tells whether a change of the code changed anything at all that the game does.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velmora {

class TMainForm;

struct TTraceSprite {
  int Depth = 0;  // 0: a child of the engine; deeper ones are in the digest only
  int64_t Serial = 0;
  std::string Class;
  double X = 0, Y = 0;
  int Z = 0;
  struct TEnemyState {
    int State, HitPoints, Pattern, Flags;
  };
  std::optional<TEnemyState> Enemy;
  std::optional<std::pair<std::string, int>> Text;  // text and style
};

struct TTraceField {
  const char* Name;
  std::string Value;  // as a JSON literal
  bool InJson;        // the trace file keeps its documented fields; the digest takes all
};

struct TTraceFrame {
  int Frame = 0;
  std::vector<TTraceField> Record;
  // Changes on most frames, so the digest hashes these rather than listing their changes.
  std::string RandomSeed, SpriteCount;
  std::vector<TTraceSprite> Sprites;
};

TTraceFrame CaptureFrame(int frame, TMainForm& form);
void WriteTraceLine(std::ostream& out, const TTraceFrame& frame);

// The golden digest of a run: a hash of the whole trace, every change of a game record field
// by frame, and per frame four short hashes of the sprites (who, where, in what state) and
// of the random generator. Small enough to commit; exact enough to name the first frame and
// field that differ.
class TGoldenDigest {
 public:
  // Sets a written digest to compare the run with, frame by frame as it is added; throws
  // std::runtime_error when the file is not a digest.
  void Expect(std::istream& written);
  void Add(const TTraceFrame& frame);
  // The digest as a text file (its "args" line, the runner's arguments, is the caller's).
  void Write(std::ostream& out) const;
  // After the run: empty when it matched the expected digest, else its first difference.
  std::string Difference() const;

 private:
  struct TChange {
    int Frame;
    std::string Field, Value;
  };
  struct TField {
    std::string Name;
    std::string Next;  // the value it should hold on the next frame unless a change says else
    bool Seen = false;
    long long Actual = 0, Step = 1;  // for the frame counter
    void Observe(const std::string& value);
  };
  static TField& FieldOf(std::vector<TField>& fields, const std::string& name);
  struct TExpected {
    uint64_t Whole = 0;
    int Frames = 0;
    std::vector<TChange> Changes;
    size_t NextChange = 0;
    std::vector<TField> Values;  // as of the frame compared
    std::string FrameHashes;
  };
  void Check(const TTraceFrame& frame, const std::string& hashes);

  uint64_t Whole_ = 14695981039346656037ull;
  int Frames_ = 0;
  std::vector<TChange> Changes_;
  std::vector<TField> Last_;
  std::string FrameHashes_;  // four characters a frame
  std::optional<TExpected> Expected_;
  std::string Difference_;  // the first one found
};

}  // namespace velmora
