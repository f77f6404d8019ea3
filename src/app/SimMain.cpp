// velmora-sim: the game without a window, for tests, benchmarks and debugging.
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/headless/SimRunner.h"

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    // The mission checker is a command of its own and runs no game.
    if (!args.empty() && args[0] == "--check") {
      if (args.size() != 2) throw std::invalid_argument("usage: velmora-sim --check FILE.omf");
      return velmora::RunMissionCheck(args[1], std::cout);
    }
    const velmora::TSimOptions options = velmora::ParseSimArgs(args);
    return velmora::RunSim(options, std::cout, std::cerr);
  } catch (const std::invalid_argument& e) {
    std::cerr << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "velmora-sim: " << e.what() << "\n";
    return 1;
  }
}
