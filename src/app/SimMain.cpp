// velmora-sim: the game without a window, for tests, benchmarks and debugging.
#include <exception>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/headless/SimRunner.h"
#ifdef VELMORA_SIM_SDL_AUDIO
#include "platform/sdl/SdlSound.h"
#endif

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The mission checker is a command of its own and runs no game.
    if (!args.empty() && args[0] == "--check") {
      if (args.size() != 2) throw std::invalid_argument("usage: velmora-sim --check FILE.omf");
      return velmora::RunMissionCheck(args[1], std::cout);
    }
    if (!args.empty() && args[0] == "--records") {
      if (args.size() != 2) throw std::invalid_argument("usage: velmora-sim --records DIR");
      return velmora::PrintRecords(args[1], std::cout, std::cerr);
    }
    const velmora::TSimOptions options = velmora::ParseSimArgs(args);
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
