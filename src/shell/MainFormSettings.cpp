// The main form's side of the settings file: the tips, the options read at the first
// paint and written at the close, and the campaign's load and save.
#include <stdexcept>
#include <string>

#include "engine/Random.h"
#include "shell/MainForm.h"
#include "shell/Settings.h"

namespace velmora {

namespace {
constexpr const char* kCaption = "Velmora";
}  // namespace

std::string TMainForm::SettingsDir() {
  if (SettingsDir_.empty()) {
    SettingsDir_ = SettingsFolder(Platform.System.ProgramFolder());
    // The window layer may already have sent the settings away from a read-only copy of
    // the game; the campaign that copy holds beside itself comes along.
    const std::string programFiles = Platform.System.DataFolder();
    if (programFiles != SettingsDir_ && !FolderWritable(programFiles))
      CopySettingsIfAbsent(programFiles, SettingsDir_);
    RemoveStaleTempFiles(SettingsDir_);
  }
  return SettingsDir_;
}

void TMainForm::ShowTip(const char* key, const std::string& text) {
  if (Closed_) return;
  TIniFile ini(IniFileName());
  if (!ini.ReadBool("HITOKUCHI", key, true)) return;
  if (Platform.Dialogs.MessageBox(TMessageKind::Information, kCaption, text,
                                  TMessageButtons::OKIgnore) != TMessageResult::Ignore)
    return;
  try {
    ini.WriteBool("HITOKUCHI", key, false);
  } catch (const std::exception&) {
    // Not worth stopping the start for: the tip simply comes again next time.
  }
}

void TMainForm::ReadOptions() {
  const TIniFile ini(IniFileName());
  OptionDirectInput->Checked = ini.ReadBool("Options", "DirectInput", true);
  OptionSound->Checked = ini.ReadBool("Options", "Sound", true);
  OptionMusic->Checked = ini.ReadBool("Options", "Music", true);
  OptionTossin->Checked = ini.ReadBool("Options", "Tossin", false);
  Difficulty = ini.ReadInteger("Game", "Difficulty", 1);
  if (Difficulty < 1 || Difficulty > 3) Difficulty = 1;
  PlayerName = ini.ReadString("Player", "Name", "");
  PlayerMail = ini.ReadString("Player", "Mail", "");
  ReadKeyBindings();
  OptionsRead_ = true;
}

bool TMainForm::FormCloseQuery() {
  Closed_ = true;
  // A replay's mission and options are not the player's to keep.
  StopRecording();
  // Closed before the first paint read them (a signal or an error during start-up), the
  // options in memory are only defaults: writing them would cost the player the stored ones.
  if (!OptionsRead_) return true;
  try {
    TIniFile ini(IniFileName());
    ini.WriteString(
        "Message", "Message",
        "このＩＮＩファイルの値はデリケートです。直接変更することは絶対に止めて下さい。");
    ini.WriteBool("Options", "DirectInput", OptionDirectInput->Checked);
    ini.WriteBool("Options", "Music", OptionMusic->Checked);
    ini.WriteBool("Options", "Sound", OptionSound->Checked);
    ini.WriteBool("Options", "Tossin", OptionTossin->Checked);
    ini.WriteInteger("Game", "Difficulty", Difficulty);
    ini.WriteInteger("Display", "Scale", WindowScale);
    ini.WriteBool("Display", "FullScreen", FullScreen);
    ini.WriteString("Player", "Name", PlayerName);
    ini.WriteString("Player", "Mail", PlayerMail);
    Randomize(Platform.System);
    ini.WriteInteger("CryptInteger", "CryptInteger1", Random(46416));
    ini.WriteInteger("CryptInteger", "CryptInteger2", Random(86446));
    ini.WriteInteger("CryptInteger", "CryptInteger3", Random(61554));
  } catch (const std::exception& error) {
    // The window closes all the same; the player learns that the options were not kept.
    AppendErrorLog(error.what());
    Platform.Dialogs.MessageBox(TMessageKind::Error, kCaption, error.what(), TMessageButtons::OK);
  }
  return true;
}

void TMainForm::LoadCampaign() {
  // A settings file that cannot be read at all is the error handler's business: it is
  // not damaged campaign data, and nothing is reset for it.
  const TIniFile ini(IniFileName());
  const std::string campaignText = ini.ReadString("Game", "Player", kDefaultCampaignText);
  const std::string unlockText = ini.ReadString("Game", "Single", kDefaultUnlockText);
  const std::string check = ini.ReadString("Game", "Check", "");
  try {
    const TCampaign campaign = ReadCampaignTexts(campaignText, unlockText, check);
    TotalScore = campaign.TotalScore;
    Mission = campaign.Mission;
    SinglesUnlocked = campaign.SinglesUnlocked;
  } catch (const std::exception&) {
    for (const char* text :
         {"重要データー取得部でエラーが発生しました。やむを得ずデーターを初期化します。",
          "もしＩＮＩファイルに何らかの変更を加えていた場合は、デリケートな数値が多いですので止め"
          "て下さい。",
          "覚えが無い場合は、バグの可能性がありますので、最新版を確かめたのち、作者に連絡下さい。"})
      Platform.Dialogs.MessageBox(TMessageKind::Error, kCaption, text, TMessageButtons::OK);
    TotalScore = 0;
    Mission = 1;
    // The single missions earned survive damage to the campaign text alone.
    try {
      SinglesUnlocked = ReadUnlockText(unlockText, check);
    } catch (const std::exception&) {
    }
    SaveCampaign();
  }
}

void TMainForm::SaveCampaign() {
  TIniFile ini(IniFileName());
  const std::string campaignText = CampaignText(TotalScore, Mission, Platform.System);
  const std::string unlockText = UnlockText(SinglesUnlocked, Platform.System);
  // One replacement of the file: a kill in between cannot leave texts and check apart.
  ini.WriteStrings("Game", {{"Player", campaignText},
                            {"Single", unlockText},
                            {"Check", CampaignCheck(campaignText, unlockText)}});
}

}  // namespace velmora
