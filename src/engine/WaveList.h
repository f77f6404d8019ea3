// Named sound collections: the built-in effects and the music, played through the sound
// device with overlapping copies.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/NameHash.h"
#include "platform/Platform.h"

namespace velmora {

class TDXWaveList;

class TWaveItem {
 public:
  explicit TWaveItem(TDXWaveList& owner) : Owner_(owner) {}
  ~TWaveItem();

  std::string Name;
  bool Looped = false;
  int MaxPlayingCount = 0;  // 0 = no limit
  TWaveFormat Format;
  // In the file's own format; a music file's items share the bytes of the file.
  TWaveSamples Samples;
  int Frequency = 0;  // 0 = recorded rate
  int Pan = 0;
  int Volume = 0;  // hundredths of a decibel
  TWaveItem* NextInChain = nullptr;

  void SetName(const std::string& name);
  bool Initialized() const { return Main_ != 0; }
  // Plays once on a free copy, or restarts the looped main buffer; with wait, blocks until
  // the copy has finished.
  void Play(bool wait);
  void Stop();
  void SetVolume(int volume);
  // Copies made so far (for tests: overlapping effects).
  int CopyCount() const { return static_cast<int>(Copies_.size()); }
  TSoundBuffer CopyAt(int i) const { return Copies_[i]; }

  // Creates or releases the sound buffers.
  void Initialize();
  void Finalize();

 private:
  TDXWaveList& Owner_;
  TSoundBuffer Main_ = 0;
  std::vector<TSoundBuffer> Copies_;
  bool Linked_ = false;  // in the owner's name chains
};

class TDXWaveList {
 public:
  TDXWaveList(ISoundDevice& sound, ISystem& system) : Sound(sound), System(system) {}
  ~TDXWaveList();

  TWaveItem& Add();
  void Clear();
  int Count() const { return static_cast<int>(Items_.size()); }
  TWaveItem& Items(int index) { return *Items_.at(index); }
  // Case-insensitive; throws std::runtime_error "Wave '%s' が見つかりません".
  TWaveItem& Find(const std::string& name);
  // Creates the buffers of every item when the device is initialised.
  void Initialize();
  // Releases every buffer; call it before finalising the device, whose handles then lapse.
  void Finalize();

  ISoundDevice& Sound;
  ISystem& System;

 private:
  friend class TWaveItem;
  std::vector<std::unique_ptr<TWaveItem>> Items_;
  TNameChains<TWaveItem> Chains_;
};

// Reads a wave-list file into the list (replacing its items). Throws on failure with
// "不正なストリーム フォーマット", "不正な Wave です" or an open failure.
void LoadWaveList(const std::string& fileName, TDXWaveList& list);
// The same from bytes in memory.
void LoadWaveListFromMemory(std::span<const uint8_t> bytes, TDXWaveList& list);
// Fills the list with the five built-in effects embedded in the program.
void LoadBuiltInEffects(TDXWaveList& list);

// Takes the format record and the samples out of a complete RIFF wave; throws
// "不正な Wave です" when the bytes are not a well-formed wave. The samples are a copy, or,
// when `owner` keeps the riff's bytes alive, a part of those bytes.
void ReadRiffWave(std::span<const uint8_t> riff, TWaveFormat& format, TWaveSamples& samples,
                  const std::shared_ptr<const void>& owner = nullptr);

}  // namespace velmora
