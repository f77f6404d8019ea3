// One copy of the game at a time, so two never write the same settings file.
#pragma once

#include <string>

namespace velmora {

constexpr const char* kAlreadyRunningMessage = "すでに起動しています。";

// Takes the program-wide lock: a lock file in the folder (else in $XDG_RUNTIME_DIR), held
// until the process ends. False when another copy holds it; the caller then shows
// kAlreadyRunningMessage and quits without touching anything. When no lock file can be
// made anywhere the game is let run rather than refused.
bool AcquireSingleInstance(const std::string& folder);
// Lets the lock go (tests; the game keeps it for its whole life).
void ReleaseSingleInstance();

}  // namespace velmora
