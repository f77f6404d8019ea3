// velmora-sim: the game without a window, for tests, benchmarks and debugging.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "platform/headless/SimRunner.h"

int main(int argc, char** argv) {
  try {
    const velmora::TSimOptions options =
        velmora::ParseSimArgs(std::vector<std::string>(argv + 1, argv + argc));
    return velmora::RunSim(options, std::cout, std::cerr);
  } catch (const std::invalid_argument& e) {
    std::cerr << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "velmora-sim: " << e.what() << "\n";
    return 1;
  }
}
