// The menu bar: every item with its caption, shortcut, marks and handler, and the handlers
// of the options and the help menu. The window layer only mirrors this tree.
#include "shell/MainForm.h"

#include <algorithm>
#include <string>

#include "platform/ScreenSize.h"
#include "ranking/RnkSubmit.h"
#include "shell/MissionNames.h"
#include "shell/Settings.h"

namespace velmora {

namespace {

constexpr const char* kCaption = "Velmora";
// Chosen by whoever builds the game (-DVELMORA_HOMEPAGE_URL); none by default.
#ifndef VELMORA_HOMEPAGE_URL
#define VELMORA_HOMEPAGE_URL ""
#endif
constexpr const char* kHomePage = VELMORA_HOMEPAGE_URL;

}  // namespace

void TMainForm::BuildMenu() {
  MainMenu.Name = "MainMenu";
  const auto on = [this](void (TMainForm::*handler)()) {
    return [this, handler] { (this->*handler)(); };
  };

  GameMenu = MainMenu.Add("GameMenu", "ゲーム", on(&TMainForm::GameMenuClick));
  GameMenu->Enabled = false;
  TMenuItem* campaign = GameMenu->Add("N29", "キャンペーン");
  GameNext = campaign->Add("GameNext", "現在の作戦(1面)を発動", on(&TMainForm::GameNextClick));
  GameStart =
      campaign->Add("GameStart", "新規開戦（キャンペーン）", on(&TMainForm::GameStartClick));
  campaign->Add("N18", "現在までの総戦果（ｽｺｱ）表示", on(&TMainForm::N18Click));

  TMenuItem* singles = GameMenu->Add("N24", "シングルミッション");
  singles->Add("N19", MissionCaption(kIntroductionMission), on(&TMainForm::N19Click));
  singles->Add("N1", "-");
  SinglePlay_1 = singles->Add("SinglePlay_1", MissionCaption(1), on(&TMainForm::SinglePlay_1Click));
  SinglePlay_2 = singles->Add("SinglePlay_2", MissionCaption(2), on(&TMainForm::SinglePlay_2Click));
  SinglePlay_3 = singles->Add("SinglePlay_3", MissionCaption(3), on(&TMainForm::SinglePlay_3Click));
  SinglePlay_4 = singles->Add("SinglePlay_4", MissionCaption(4), on(&TMainForm::SinglePlay_4Click));
  SinglePlay_5 = singles->Add("SinglePlay_5", MissionCaption(5), on(&TMainForm::SinglePlay_5Click));
  for (TMenuItem* item : {SinglePlay_1, SinglePlay_2, SinglePlay_3, SinglePlay_4, SinglePlay_5})
    item->Visible = false;
  TMenuItem* bonus = singles->Add("SingleMission", "おまけ");
  bonus->Add("N20", MissionCaption(6), on(&TMainForm::N20Click));
  bonus->Add("N21", MissionCaption(7), on(&TMainForm::N21Click));
  bonus->Add("N23", MissionCaption(8), on(&TMainForm::N23Click));
  bonus->Add("N25", MissionCaption(9), on(&TMainForm::N25Click));
  bonus->Add("N26", MissionCaption(10), on(&TMainForm::N26Click));
  bonus->Add("N27", MissionCaption(11), on(&TMainForm::N27Click));

  GameMenu->Add("N2", "-");
  GameMenu->Add("LoadCustomMission", "オリジナルミッションロード",
                on(&TMainForm::LoadCustomMissionClick));
  GameMenu->Add("ReplayPlay", "リプレイ再生", on(&TMainForm::ReplayPlayClick));
  GameMenu->Add("Records", "戦績", on(&TMainForm::RecordsClick));
  GameMenu->Add("N4", "-");
  GameMenu->Add("GameExit", "終了", on(&TMainForm::GameExitClick))->ShortCut = "Ctrl+Q";
  GamePause = GameMenu->Add("GamePause", "Game &Pause", on(&TMainForm::GamePauseClick));
  GamePause->ShortCut = "F12";
  GamePause->Visible = false;

  TMenuItem* options = MainMenu.Add("OptionMenu", "オプション");
  OptionSound = options->Add("OptionSound", "効果音", on(&TMainForm::OptionSoundClick));
  OptionSound->Checked = true;
  OptionMusic = options->Add("OptionMusic", "ＢＧＭ", on(&TMainForm::OptionMusicClick));
  OptionMusic->Checked = true;
  options->Add("N5", "-");
  OptionTossin = options->Add("OptionTossin", "突進モード", on(&TMainForm::OptionTossinClick));
  options->Add("N6", "-");
  OptionDirectInput =
      options->Add("OptionDirectInput", "DirectInput", on(&TMainForm::OptionDirectInputClick));
  OptionDirectInput->Checked = true;
  OptionShowFPS = options->Add("OptionShowFPS", "Show Status", on(&TMainForm::OptionShowFPSClick));
  OptionShowFPS->ShortCut = "Ctrl+F";
  for (TMenuItem* item : {OptionSound, OptionMusic, OptionTossin, OptionDirectInput, OptionShowFPS})
    item->CheckItem = true;
  options->Add("KeyBindings", "キー設定…", on(&TMainForm::KeyBindingsClick));
  options->Add("N7", "-");
  DifficultyMenu = options->Add("DifficultyMenu", "難易度", on(&TMainForm::DifficultyMenuClick));
  OptionEasy =
      DifficultyMenu->Add("OptionEasy", DifficultyCaption(1), on(&TMainForm::OptionEasyClick));
  OptionMedium =
      DifficultyMenu->Add("OptionMedium", DifficultyCaption(2), on(&TMainForm::OptionMediumClick));
  OptionDifficult = DifficultyMenu->Add("OptionDifficult", DifficultyCaption(3),
                                        on(&TMainForm::OptionDifficultClick));
  for (TMenuItem* item : {OptionEasy, OptionMedium, OptionDifficult}) {
    item->RadioItem = true;
    item->GroupIndex = 1;
  }
  TMenuItem* size =
      options->Add("ScreenSizeMenu", "画面サイズ", on(&TMainForm::ScreenSizeMenuClick));
  static const char* const kSizeCaptions[] = {"", "等倍", "2倍", "3倍"};
  for (int scale = 1; scale <= kMaxWindowScale; ++scale)
    ScreenSize[scale] = size->Add("ScreenSize" + std::to_string(scale), kSizeCaptions[scale],
                                  [this, scale] { ScreenSizeClick(scale); });
  ScreenSizeFull = size->Add("ScreenSizeFull", "全画面", on(&TMainForm::ToggleFullScreen));
  ScreenSizeFull->ShortCut = "F11";
  for (TMenuItem* item : {ScreenSize[1], ScreenSize[2], ScreenSize[3], ScreenSizeFull}) {
    item->RadioItem = true;
    item->GroupIndex = 2;
  }
  options->Add("N30", "-");
  options->Add("OptionRankingServer", "ランキングサーバー…",
               on(&TMainForm::OptionRankingServerClick));

  TMenuItem* help = MainMenu.Add("N3", "ヘルプ");
  help->Add("SearchforHelpOn1", "目次／検索", on(&TMainForm::SearchforHelpOn1Click))->ShortCut =
      "F1";
  help->Add("N8", "-");
  help->Add("N13", "このソフトについて", on(&TMainForm::N13Click));
  help->Add("N11", "公式ホームページへ", on(&TMainForm::N11Click));
}

// ---- options ---------------------------------------------------------------------------

void TMainForm::OptionSoundClick() {
  OptionSound->Checked = !OptionSound->Checked;
  if (!OptionSound->Checked) {
    DXSoundFinalize();
  } else if (!Platform.Sound.Initialized()) {
    DXSoundInitialize();
    // No sound device: the option cannot be on.
    if (!Platform.Sound.Initialized()) OptionSound->Checked = false;
  }
}

void TMainForm::OptionMusicClick() {
  OptionMusic->Checked = !OptionMusic->Checked;
}
void TMainForm::OptionTossinClick() {
  OptionTossin->Checked = !OptionTossin->Checked;
}
void TMainForm::OptionDirectInputClick() {
  OptionDirectInput->Checked = !OptionDirectInput->Checked;
}
void TMainForm::OptionShowFPSClick() {
  OptionShowFPS->Checked = !OptionShowFPS->Checked;
}

void TMainForm::ScreenSizeMenuClick() {
  // Sizes the screen cannot hold are greyed out; the window never outgrows its screen.
  const int fitting = Platform.Display.FittingWindowScale();
  for (int scale = 1; scale <= kMaxWindowScale; ++scale)
    ScreenSize[scale]->Enabled = scale == 1 || scale <= fitting;
  MarkScreenSize();
}

void TMainForm::ScreenSizeClick(int scale) {
  WindowScale = scale;
  FullScreen = false;
  ApplyScreenSize();
}

void TMainForm::ToggleFullScreen() {
  FullScreen = !FullScreen;
  ApplyScreenSize();
}

void TMainForm::ReadScreenSize() {
  const TIniFile ini(IniFileName());
  const int fitting = std::clamp(Platform.Display.FittingWindowScale(), 1, kMaxWindowScale);
  // The first start takes the largest size that fits; a size chosen on a bigger screen
  // shrinks to what this one holds.
  WindowScale = ini.ReadInteger("Display", "Scale", fitting);
  if (WindowScale < 1 || WindowScale > fitting) WindowScale = fitting;
  FullScreen = ini.ReadBool("Display", "FullScreen", false);
}

void TMainForm::MarkScreenSize() {
  for (int scale = 1; scale <= kMaxWindowScale; ++scale)
    ScreenSize[scale]->Checked = !FullScreen && scale == WindowScale;
  ScreenSizeFull->Checked = FullScreen;
}

void TMainForm::ApplyScreenSize() {
  MarkScreenSize();
  Platform.Display.SetScreenSize(WindowScale, FullScreen);
}

void TMainForm::GameExitClick() {
  Close();
}

// ---- help ------------------------------------------------------------------------------

void TMainForm::SearchforHelpOn1Click() {
  Platform.System.ShowHelp(HelpFile);
}

void TMainForm::N13Click() {
  Platform.Dialogs.MessageBox(TMessageKind::Information, kCaption,
                              "「Velmora」Ver2.0\n\n"
                              "一九四一年から四五年の太平洋の空を舞台にした、"
                              "縦スクロールのシューティングゲームです。\n"
                              "遊び方はヘルプ（F1）をご覧ください。",
                              TMessageButtons::OK);
}

void TMainForm::N11Click() {
  if (*kHomePage != '\0') {
    Platform.System.OpenUrl(kHomePage);
  } else {
    Platform.System.ShowHelp(HelpFile + "#about");
  }
}

void TMainForm::OptionRankingServerClick() {
  constexpr const char* caption = "ランキングサーバー";
  IDialogs& d = Platform.Dialogs;
  TIniFile ini(IniFileName());
  const std::string set = ini.ReadString("Ranking", "URL", "");
  const std::string builtIn = DefaultEndpointURL();
  const std::string shown = !set.empty() ? set : !builtIn.empty() ? builtIn : "http://";
  const std::optional<std::string> entered = d.InputBox(
      caption,
      "ランキングサーバーのアドレス（例　http://ranking.example.org:8080/submit）：" +
          std::string(builtIn.empty() ? "" : "\n空にすると組み込みのアドレスを使います。"),
      shown);
  if (!entered) return;
  std::string url = *entered;
  url.erase(0, url.find_first_not_of(" \t"));
  url.erase(url.find_last_not_of(" \t") + 1);
  if (url == "http://") url.clear();
  if (!url.empty() && !ParseEndpoint(url)) {
    d.MessageBox(
        TMessageKind::Warning, caption,
        "アドレスが正しくありません。http://ホスト名:ポート/submit の形で入力してください。",
        TMessageButtons::OK);
    return;
  }
  if (url == builtIn) url.clear();
  ini.WriteString("Ranking", "URL", url);
  const std::string target = url.empty() ? builtIn : url;
  if (target.empty()) {
    d.MessageBox(TMessageKind::Information, caption, "ランキングサーバーは設定されていません。",
                 TMessageButtons::OK);
    return;
  }
  if (d.MessageBox(TMessageKind::Confirmation, caption,
                   target + "\n\n接続テストをしますか？（サーバーが応答するか確かめます）",
                   TMessageButtons::YesNo) != TMessageResult::Yes)
    return;
  const auto [ok, text] = TestRankingServer(target, Platform.RankingTransport);
  d.MessageBox(ok ? TMessageKind::Information : TMessageKind::Error, caption, text,
               TMessageButtons::OK);
}

}  // namespace velmora
