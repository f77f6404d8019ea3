#include "sprites/TextSprites.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <stdexcept>

#include "engine/MathUtil.h"
#include "game/GameRecord.h"
#include "sprites/GameImages.h"
#include "sprites/SpriteClasses.h"

namespace velmora {

namespace {

constexpr TRGB kBlack{0, 0, 0};
constexpr TRGB kWhite{255, 255, 255};

struct TMojiFont {
  bool SetsFont;
  int Size;
  int MarginX, MarginY;
};

TMojiFont FontOfStyle(int32_t style) {
  switch (style) {
    case 0:
      return {true, 50, 0, 30};
    case 1:
      return {true, 20, 0, 30};
    case -1:
      return {true, 20, 0, 0};
    case 2:
    case 4:
      return {true, 13, 0, 30};
    case -2:
    case 3:
      return {true, 13, 0, 0};
    default:
      // Unknown styles write in whatever font the last text left behind.
      return {false, 0, 10, 10};
  }
}

// A scroll speed from an event's text: a whole decimal number and nothing else, so that a
// typing slip in a schedule fails loudly instead of scrolling at some half-read speed.
int32_t ParseEventInteger(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(begin, &end, 10);
  const bool digitsOnly = !text.empty() && !std::isspace(static_cast<unsigned char>(text[0]));
  if (!digitsOnly || end == begin || *end != '\0' || errno == ERANGE || value < INT32_MIN ||
      value > INT32_MAX)
    throw std::runtime_error("'" + text + "' は整数ではありません");
  return static_cast<int32_t>(value);
}

TSprite* NewMojiSprite(TSprite* parent) {
  return new TMojiSprite(parent);
}
TSprite* NewTitleSprite(TSprite* parent) {
  return new TTitleSprite(parent);
}
TSprite* NewEventSprite(TSprite* parent) {
  return new TEventSprite(parent);
}

}  // namespace

// ---- text ----------------------------------------------------------------------------

TMojiSprite::TMojiSprite(TSprite* parent) : TSprite(parent) {
  Style = 0;
  SetZ(500);
  Age = 0;
}

void TMojiSprite::Advance(int moveCount) {
  switch (Style) {
    case 0:
    case 1:
    case 2:
      Y -= 0.04 * moveCount;
      break;
    case 3:
      if (Age > 2500) Kill();
      break;
    case 4:
      if (Y > 200) Y -= 0.04 * moveCount;
      break;
    case 1000:
      Y += 0.05 * moveCount;
      break;
    case 2000:
      X -= 0.05 * moveCount;
      break;
    case 3000:
      X += 0.05 * moveCount;
      break;
    default:
      break;
  }
  if (X > 640 || Y > 480 || X + 50 < 0 || Y + 50 < 0) Kill();
  Age += moveCount;
}

void TMojiSprite::Render() {
  if (!Game) return;
  TTextRenderer& text = Game->Text;
  const TMojiFont font = FontOfStyle(Style);
  if (font.SetsFont) text.SetFont(kFontMincho, font.Size);
  X = 320 - text.TextWidth(Text) / 2;
  TSurface& surface = Game->Platform.Display.BackBuffer();
  const TRect clip{font.MarginX, font.MarginY, 640 - font.MarginX, 480 - font.MarginY};
  text.TextOut(surface, Round(X), Round(Y), Text,
               NearestIndex(Game->Platform.Display.Palette(), kWhite), clip);
}

// ---- title picture -------------------------------------------------------------------

TTitleSprite::TTitleSprite(TSprite* parent) : TImageSprite(parent) {
  SetImageSized(&GameImages().Find("Title"));
  AnimLoop = true;
  AnimRate = 0;
  SetZ(500);
}

void TTitleSprite::Render() {
  TImageSprite::Render();
  TSurface* surface = Engine_ ? Engine_->Surface() : nullptr;
  if (surface && Image) Image->StretchDraw(*surface, TRect{50, 0, 590, 410}, 0);
}

// ---- events --------------------------------------------------------------------------

TEventSprite::TEventSprite(TSprite* parent) : TSprite(parent) {
  Done = false;
}

void TEventSprite::Advance(int) {
  if (Done) {
    Kill();
    return;
  }
  TGameRecord& game = *Game;
  switch (Style) {
    case 1:
    case 2:
      game.MusicCommand(Text);
      break;
    case 3:
      game.MissionCleared = !game.SinglePlay && game.Mission >= 1 && game.Mission <= 5;
      if (game.MissionCleared && game.SinglesUnlocked < game.Mission)
        game.SinglesUnlocked = game.Mission;
      game.MusicCommand("STOP");
      game.PendingScene = ssResult;
      game.PalleteAnim(kBlack, 300);
      game.Wait(200);
      break;
    case 4:
      game.ScrollSpeed = ParseEventInteger(Text);
      break;
    case 5: {
      game.PalleteAnim(kBlack, 300);
      // We are inside the engine's move pass, which would walk freed sprites if the tree
      // were emptied here. Everything is killed and held still instead; the dead pass right
      // after this one frees it all before anything is drawn or spawned.
      TSprite& root = game.SpriteEngine.Engine;
      for (int i = 0; i < root.Count(); ++i) {
        root.Items(i)->Moves = false;
        root.Items(i)->Kill();
      }
      return;
    }
    case 6:
      game.Score += game.MissionDifficulty * 10000;
      break;
    case 7:
      game.Score += (100 - game.Damage) * 20;
      break;
    case 8:
      game.Score += 5000 - Round(game.CommanderDamage) * 50;
      break;
    default:
      break;
  }
  Done = true;
}

void RegisterTextSprites() {
  RegisterSpriteClass("TMojiSprite", NewMojiSprite);
  RegisterSpriteClass("TTitleSprite", NewTitleSprite);
  RegisterSpriteClass("TEventSprite", NewEventSprite);
}

}  // namespace velmora
