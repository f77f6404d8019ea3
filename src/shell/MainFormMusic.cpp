// TMainForm's music: the event-command interpreter and the music file.
#include <stdexcept>

#include "engine/FileRead.h"
#include "engine/WaveList.h"
#include "shell/MainForm.h"

namespace velmora {

namespace {

int FadeVolume(const std::string& command) {
  if (command == "DOWN500") return -500;
  if (command == "DOWN1000") return -1000;
  if (command == "DOWN1500") return -1500;
  if (command == "DOWN2000") return -2000;
  if (command == "DOWN2500") return -2500;
  return 0;
}

}  // namespace

void TMainForm::DXSoundInitialize() {
  if (Platform.Sound.Initialized()) return;
  if (Platform.Sound.Initialize()) {
    DXWaveList.Initialize();
    DXWaveMusicList.Initialize();
  }
}

void TMainForm::DXSoundFinalize() {
  DXWaveList.Finalize();
  DXWaveMusicList.Finalize();
  Platform.Sound.Finalize();
  // Whatever was playing died with the device.
  CurrentMusic = "NONE";
}

void TMainForm::MusicCommand(const std::string& command) {
  if (!OptionMusic->Checked || command == "NONE") return;
  if (command == "STOP" && CurrentMusic == "NONE") return;

  const int fade = FadeVolume(command);
  if (command == "STOP" || fade != 0) {
    // Turning down a tune that is not there is nothing to do, and not worth a sound reset.
    if (!Platform.Sound.Initialized() || CurrentMusic == "NONE") return;
    try {
      TWaveItem& tune = DXWaveMusicList.Find(CurrentMusic);
      if (command == "STOP") {
        tune.Stop();
        // Fresh buffers, so the tune starts from its beginning next time.
        tune.Finalize();
        tune.Initialize();
        CurrentMusic = "NONE";
      } else {
        tune.SetVolume(fade);
      }
    } catch (const std::exception&) {
      // A sound layer in trouble is reset and the command dropped; the game goes on.
      DXSoundFinalize();
      DXSoundInitialize();
    }
    return;
  }

  DXSoundInitialize();
  std::string name = command;
  if (!ExpandedMusic && name != "BGM1" && name != "BGM2" && name != "BOSS") name = "BGM1";
  TWaveItem& tune = DXWaveMusicList.Find(name);
  tune.SetVolume(0);
  tune.Play(false);
  CurrentMusic = name;
}

void TMainForm::LoadMusicFile() {
  const std::string folder = Platform.System.DataFolder();
  const std::string expanded = folder + "/ExpMusic.dxw";
  // Only a regular file counts: a folder of that name must not hide the default music.
  if (IsRegularFile(expanded)) {
    LoadWaveList(expanded, DXWaveMusicList);
    ExpandedMusic = true;
  } else {
    LoadWaveList(folder + "/DefMusic.dxw", DXWaveMusicList);
    ExpandedMusic = false;
  }
  DXWaveMusicList.Initialize();
}

}  // namespace velmora
