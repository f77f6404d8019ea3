// velmora-sim: the game without a window, for tests, benchmarks and debugging.
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/SimRunner.h"
#ifdef VELMORA_SIM_SDL_AUDIO
#include "platform/sdl/SdlSound.h"
#endif

int main(int argc, char** argv) {
  try {
    const velmora::TSimOptions options =
        velmora::ParseSimArgs(std::vector<std::string>(argv + 1, argv + argc));
    std::unique_ptr<velmora::ISoundDevice> sound;
    if (options.SdlAudio) {
#ifdef VELMORA_SIM_SDL_AUDIO
      sound = std::make_unique<velmora::TSdlSound>();
#else
      std::cerr << "velmora-sim: --sdl-audio: this build has no SDL sound\n";
      return 2;
#endif
    }
    return velmora::RunSim(options, std::cout, std::cerr, sound.get());
  } catch (const std::invalid_argument& e) {
    std::cerr << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "velmora-sim: " << e.what() << "\n";
    return 1;
  }
}
