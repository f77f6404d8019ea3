// Starting and ending missions and the campaign.
#include "shell/MainForm.h"

namespace velmora {

// The mission start-up (fighter, list, background) arrives with the stage flow.
void TMainForm::StartMission() {
  BuildMission(Mission);
  if (BackgroundImage != "NONE") CreateScrollBackground(BackgroundImage);
}
void TMainForm::SaveCampaign() {}
void TMainForm::EndOfMissionDialogs() {}

}  // namespace velmora
