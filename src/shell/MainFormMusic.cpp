// TMainForm's music: the event-command interpreter and the music file.
#include "shell/MainForm.h"

namespace velmora {

// The music interpreter arrives with the music files.
void TMainForm::MusicCommand(const std::string&) {}

}  // namespace velmora
