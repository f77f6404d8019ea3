#include "shell/MainForm.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "shell/Settings.h"
#include "sprites/ScrollBackground.h"

namespace velmora {

TMainForm* MainForm = nullptr;

namespace {
constexpr TRGB kBlack{0, 0, 0};
constexpr TRGB kWhite{255, 255, 255};
constexpr TRGB kYellow{255, 255, 0};
}  // namespace

TMainForm::TMainForm(TPlatform& platform)
    : TGameRecord(platform),
      DXTimer(platform.System),
      ColorImageList("TDXImageList"),
      DXWaveList(platform.Sound, platform.System),
      DXWaveMusicList(platform.Sound, platform.System) {
  MainForm = this;
  DXTimer.OnTimer = [this](int lag) { DXTimerTimer(lag); };
  DXTimer.OnActivate = [this] { Platform.Display.SetCaption("Velmora"); };
  DXTimer.OnDeactivate = [this] { Platform.Display.SetCaption("Velmora [停止中]"); };
  DXTimer.SetEnabled(false);
  LoadGameImages(ImageList.Items);
  LoadPaletteImages(ColorImageList.Items);
  LoadBuiltInEffects(DXWaveList);
  BuildMenu();
}

TMainForm::~TMainForm() {
  DXTimer.SetEnabled(false);
  SpriteEngine.Engine.Clear();
  if (MainForm == this) MainForm = nullptr;
}

// ---- start-up ------------------------------------------------------------------------

void TMainForm::FormCreate() {
  // An error here skips the rest: no scene runs and the "ゲーム" menu stays disabled.
  RunGuarded([this] {
    ShowTip(
        "READHELP",
        "◆一口メモ（無視を選ぶと次回は表示しません）◆ヘルプには有用な情報が沢山詰まっています。");
    ShowTip("CLOSEAP",
            "◆一口メモ（無視を選ぶと次回は表示しません）◆最高の速度でプレイするために、"
            "他のアプリケーションを全て終了させると良いでしょう。");
    // Closed while a tip was up (a signal, a logout): the rest would only open the sound
    // device and decode the music for a window that is going away, which delayed the end
    // by a second and more.
    if (Closed_) return;
    ReadRecords();
    SetUpPalette();
    // The window takes its size before it is first shown.
    ReadScreenSize();
    ApplyScreenSize();
    OptionFullScreenClick();
    DXTimer.Interval = kTickMs;
    // Effects and music start switched on, through their own handlers.
    OptionSound->Checked = false;
    OptionSoundClick();
    OptionMusic->Checked = false;
    OptionMusicClick();
    MissionCleared = false;
    KeyEnter = KeySpace = KeyUp = KeyDown = KeyLeft = KeyRight = false;
    HelpFile = Platform.System.DataFolder() + "/velmora-help.html";
    LoadMusicFile();
    SetScene(ssTitle);
  });
}

void TMainForm::FormPaint() {
  if (FirstPaintDone_) return;
  FirstPaintDone_ = true;
  const int firstDebris = ImageList.Items.Count();
  DeriveDebrisImages(ImageList.Items);
  // Cut the new pictures now: a mission may start before the next display reset would.
  if (Platform.Display.Initialized())
    for (int i = firstDebris; i < ImageList.Items.Count(); ++i)
      ImageList.Items.Items(i).Initialize(Platform.Display.Palette());
  ReadOptions();
}

void TMainForm::SetUpPalette() {
  Platform.Display.SetPalette(ColorImageList.Items.MakeColorTable());
}

bool TMainForm::DXDrawInitialize() {
  if (!Platform.Display.Initialize()) return false;
  const TPalette& palette = Platform.Display.Palette();
  ImageList.Initialize(true, palette);
  ColorImageList.Initialize(true, palette);
  SpriteEngine.DisplayInitialized();
  DXTimer.SetEnabled(true);
  return true;
}

void TMainForm::DXDrawFinalize() {
  DXTimer.SetEnabled(false);
  SpriteEngine.DisplayFinalized();
  ImageList.Finalize();
  ColorImageList.Finalize();
  Platform.Display.Finalize();
}

void TMainForm::OptionFullScreenClick() {
  DXDrawFinalize();
  DXDrawInitialize();
}

// ---- keys ----------------------------------------------------------------------------

void TMainForm::FormKeyDown(int key) {
  if (Replays.KeyDown(key)) return;
  if (key > 0 && key < 256) HeldKeys_[key] = true;
  for (int action = kaUp; action <= kaSupport; ++action)
    if (KeyBindings.FeedsFlag(action, key)) KeyFlag(action) = true;
  // F12 (a default pause key) is the shortcut of the hidden pause item, which a menu bar
  // would not deliver.
  if (KeyBindings.HasKey(kaPause, key) && !(key == vk::Pause && SceneState == ssMenu))
    GamePauseClick();
  if (key == vk::Escape && SceneState == ssPlay && GamePause->Checked) {
    MusicCommand("STOP");
    PendingScene = ssMenu;
    PalleteAnim(kBlack, 300);
    Wait(200);
    GamePauseClick();
  }
}

void TMainForm::FormKeyUp(int key) {
  if (key <= 0 || key >= 256) return;
  HeldKeys_[key] = false;
  // A flag stays while another of its action's keys is still held.
  for (int action = kaUp; action <= kaSupport; ++action) {
    if (!KeyBindings.FeedsFlag(action, key)) continue;
    bool held = false;
    for (int other = 1; other < 256 && !held; ++other)
      held = HeldKeys_[other] && KeyBindings.FeedsFlag(action, other);
    if (!held) KeyFlag(action) = false;
  }
}

void TMainForm::PadPausePressed() {
  if (SceneState != ssMenu) GamePauseClick();
}

void TMainForm::GamePauseClick() {
  GamePause->Checked = !GamePause->Checked;
  if (!GamePause->Checked) {
    PauseFrames_ = 0;
    DXTimer.SetEnabled(true);
  }
}

// ---- the tick ------------------------------------------------------------------------

void TMainForm::DXTimerTimer(int /*lagCount*/) {
  if (!Platform.Display.CanDraw()) return;
  if (!Replays.FeedTick()) DXInput.Poll();
  Replays.TickPolled();
  switch (SceneState) {
    case ssTitle:
      FrameTitle();
      break;
    case ssMenu:
      FrameMenu();
      break;
    case ssBriefing:
      FrameBriefing();
      break;
    case ssMissionTitle:
      FrameMissionTitle();
      break;
    case ssPlay:
      FramePlay();
      break;
    case ssGameOver:
      FrameGameOver();
      break;
    case ssResult:
      FrameResult();
      break;
    default:
      break;
  }
  if (PendingScene != ssNone) {
    SetScene(PendingScene);
    PendingScene = ssNone;
  }
  if (OptionShowFPS->Checked) DrawStatusLine();
  if (Replays.Watching()) DrawReplayMarker();
  if (ShowsNewBest()) DrawNewBestCaption();
  // A few frames draw the pause notice before the timer stops for good.
  if (PauseFrames_ > 3) DXTimer.SetEnabled(false);
  if (GamePause->Checked) {
    DrawPauseNotice();
    ++PauseFrames_;
  }
  Platform.Display.Flip();
}

void TMainForm::MoveAndFlush() {
  SpriteEngine.Move(kTickMs);
  SpriteEngine.Dead();
}

void TMainForm::ClearAndDraw() {
  Platform.Display.BackBuffer().Fill(0);
  SpriteEngine.Draw();
}

void TMainForm::FrameTitle() {
  MoveAndFlush();
  SpawnDue();
  ClearAndDraw();
  if (DXInput.ActiveStates.Has(isButton1)) {
    Wait(100);
    SetScene(ssMenu);
  }
  ++FrameCount;
}

void TMainForm::FrameMenu() {
  MoveAndFlush();
  ClearAndDraw();
  ++FrameCount;
}

void TMainForm::FrameBriefing() {
  MoveAndFlush();
  SpawnDue();
  ClearAndDraw();
  if (DXInput.ActiveStates.Has(isButton1)) {
    PalleteAnim(kBlack, 300);
    Wait(200);
    SetScene(ssMissionTitle);
  }
  ++FrameCount;
}

void TMainForm::FrameMissionTitle() {
  MoveAndFlush();
  SpawnDue();
  ClearAndDraw();
  if (FrameCount > 80) {
    PalleteAnim(kBlack, 300);
    Wait(200);
    SetScene(ssPlay);
  }
  ++FrameCount;
}

void TMainForm::FramePlay() {
  MoveAndFlush();
  SpawnDue();
  ReinforcementTick(1);
  Platform.Display.BackBuffer().Fill(0);
  // A frame in which a sprite asked for another scene stays black behind the transition.
  if (PendingScene == ssNone) {
    SpriteEngine.Draw();
    DrawHud();
  }
  if (!AdvanceStopped) ++FrameCount;
}

void TMainForm::FrameGameOver() {
  MoveAndFlush();
  SpawnDue();
  ClearAndDraw();
  if (FrameCount > 100) {
    PalleteAnim(kBlack, 300);
    Wait(100);
    SetScene(ssMenu);
  }
  ++FrameCount;
}

void TMainForm::FrameResult() {
  MoveAndFlush();
  SpawnDue();
  ClearAndDraw();
  if (DXInput.ActiveStates.Has(isButton1)) {
    PalleteAnim(kBlack, 300);
    Wait(100);
    if (Mission >= 1 && Mission <= 4 && !SinglePlay && OptionTossin->Checked) {
      AdvanceCampaign();
      SetScene(ssBriefing);
    } else {
      SetScene(ssMenu);
    }
  }
  ++FrameCount;
}

void TMainForm::DrawStatusLine() {
  Text.SetFont(kFontPGothic, 12);
  Text.TextOut(Platform.Display.BackBuffer(), 0, 0,
               "FPS: " + std::to_string(DXTimer.FramesPerSecond()) +
                   ",Sprite: " + std::to_string(SpriteEngine.Engine.SpriteCount),
               NearestColour(kWhite));
}

void TMainForm::DrawPauseNotice() {
  Text.SetFont(kFontGothic, 55);
  const uint8_t yellow = NearestColour(kYellow);
  if (SceneState == ssPlay)
    Text.TextOut(Platform.Display.BackBuffer(), 20, 200, "停止中(ESCで終了)", yellow);
  else
    Text.TextOut(Platform.Display.BackBuffer(), 220, 200, "停止中", yellow);
}

uint8_t TMainForm::NearestColour(TRGB colour) const {
  return NearestIndex(Platform.Display.Palette(), colour);
}

// ---- scenes --------------------------------------------------------------------------

void TMainForm::SetScene(TSceneState state) {
  if (SceneState == ssResult && state != ssResult) FinishPendingRun();
  state = Replays.SceneChanging(SceneState, state);
  // Only the game-over screen of the run just written shows its personal best.
  if (state != ssGameOver) NewBest_ = false;
  const TSceneState leaving = SceneState;
  ResetScene();
  if (leaving == ssMenu) {
    Platform.Display.ShowTitleImage(false);
    OptionFullScreenClick();
  }
  SceneState = state;
  UpdateGoOnKeys();
  EnterScene(state);
}

void TMainForm::EnterScene(TSceneState state) {
  switch (state) {
    case ssTitle:
      BuildMission(-2);
      CreateScrollBackground("Sea");
      break;
    case ssMenu:
      OptionFullScreenClick();
      MainMenu.Find("GameMenu")->Enabled = true;
      BuildMission(-777);
      Platform.Display.ShowTitleImage(true);
      if (MissionCleared) EndOfMissionDialogs();
      break;
    case ssBriefing:
      BackgroundImage = "Sea";
      Replays.BriefingEntered();
      BuildMission(std::stoi("-3" + std::to_string(Mission)));
      if (BackgroundImage != "NONE") CreateScrollBackground(BackgroundImage);
      Platform.Display.SetPalette(Platform.Display.Palette());
      break;
    case ssMissionTitle:
      BuildMission(std::stoi("-4" + std::to_string(Mission)));
      break;
    case ssPlay:
      StartMission();
      break;
    case ssGameOver:
      BuildMission(-888);
      break;
    case ssResult:
      BuildMission(std::stoi("-5" + std::to_string(Mission)));
      if (BackgroundImage != "NONE") CreateScrollBackground(BackgroundImage);
      break;
    default:
      break;
  }
}

void TMainForm::CreateScrollBackground(const std::string& imageName) {
  auto* background = new TScrollBackground(&SpriteEngine.Engine);
  background->ScrollKind = 0;
  background->SetMapSize(1, 1);
  background->Image = &ImageList.Items.Find(imageName);
  background->X = 0;
  background->Y = 0;
  background->SetZ(-50);
  background->Tiled = true;
}

void TMainForm::PalleteAnim(TRGB colour, uint32_t ms) {
  if (!Platform.Display.Initialized()) return;
  const uint8_t index = NearestColour(colour);
  Wait(ms);
  for (int i = 0; i < 5; ++i) {
    Platform.Display.BackBuffer().Fill(index);
    Platform.Display.Flip();
  }
}

// ---- sound ---------------------------------------------------------------------------

void TMainForm::PlaySound(const std::string& name, bool wait) {
  if (!OptionSound->Checked) return;
  if (!Platform.Sound.Initialized() && Platform.Sound.Initialize()) {
    DXWaveList.Initialize();
    DXWaveMusicList.Initialize();
  }
  DXWaveList.Find(name).Play(wait);
}

// ---- errors and closing ----------------------------------------------------------------

void TMainForm::AppendErrorLog(const std::string& message) {
  const std::string fileName = SettingsDir() + "/" + kErrorLogFileName;
  std::string line = message;
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  line += " (" + Platform.System.DateTimeText() + ")\n";
  // Appended, never rewritten: the earlier lines survive whatever happens to this one. A
  // folder, FIFO or device in its place is left alone rather than waited on.
  const int fd = ::open(fileName.c_str(),
                        O_RDWR | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
  if (fd < 0) return;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return;
  }
  char last = '\n';
  if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n')
    line.insert(0, "\n");
  size_t done = 0;
  while (done < line.size()) {
    const ssize_t n = ::write(fd, line.data() + done, line.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::fsync(fd);
  ::close(fd);
}

void TMainForm::AppExceptionHandler(const std::exception& error) {
  const std::string message = error.what();
  AppendErrorLog(message);
  try {
    DXDrawFinalize();
    DXDrawInitialize();
  } catch (const std::exception&) {
    // A display that cannot come back now gets another reset when the player resumes.
  }
  DXTimer.SetEnabled(false);
  Platform.Display.MinimizeWindow();
  IDialogs& d = Platform.Dialogs;
  d.MessageBox(TMessageKind::Error, "Velmora", message, TMessageButtons::OK);
  d.MessageBox(TMessageKind::Error, "Velmora",
               "エラーが発生しました。本バージョンが最新版である場合は、よろしければ作成した"
               "ERRORS.LOGの内容及び発生した場所、PCの環境(いずれも詳しくお願いします。また、"
               "そこでエラーが起こることを再度確認して頂けると助かります。)を作者宛てにメールで"
               "ご連絡下さい。",
               TMessageButtons::OK);
  d.MessageBox(TMessageKind::Error, "Velmora",
               "また、もしまだヘルプをご覧になっていない場合は、インストール方法などありますので、"
               "ご覧ください。",
               TMessageButtons::OK);
  if (d.MessageBox(TMessageKind::Confirmation, "Velmora",
                   "このゲームを強制終了しますか？（推奨）今すぐ終了しない場合は復帰を試みます。",
                   TMessageButtons::YesNo) == TMessageResult::Yes) {
    Close();
    return;
  }
  Platform.Display.RestoreWindow();
  try {
    OptionFullScreenClick();
  } catch (const std::exception&) {
  }
  DXTimer.SetEnabled(true);
}

void TMainForm::RunGuarded(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::exception& error) {
    AppExceptionHandler(error);
  } catch (...) {
    AppExceptionHandler(std::runtime_error("不明なエラーが発生しました"));
  }
}

}  // namespace velmora
