// The end of a game: the result offered to the hall of fame, the new-record notice, the game-over picture.
#include <cstring>
#include <string>

#include "common/game_rules.h"
#include "common/ticker.h"
#include "game/game_names.h"
#include "game/game_shell.h"
#include "game/last_result.h"
#include "game/popup_dialog.h"
#include "game/quiz_game.h"
#include "game/quiz_scene.h"
#include "gfx/picture.h"
#include "gfx/refresh_manager.h"
#include "gfx/sprite.h"
#include "platform/replay/trace.h"
#include "quiz/question_bank.h"
#include "ui/bitmap_font.h"

namespace {

// The player's name in the middle of the notice's plate, in the panel's font (letters beyond ASCII included); a
// name too wide for the plate starts at its left edge and stops before its right one.
void WriteOnNamePlate(Picture* notice, const std::string& name) {
  const BitmapFont* font = g_questionBank.explanationFont;
  platform::Surface* surface = notice ? notice->GetSurface() : nullptr;
  if (!font || !surface) return;
  const rules::PanelRect& plate = rules::kHallOfFameNamePlate;
  if (surface->width() < plate.x + plate.w || surface->height() < plate.y + plate.h) return;  // not our picture
  const int32_t margin = 4;
  const int32_t width = font->TextWidthUtf8(name);
  const int32_t x = width <= plate.w - 2 * margin ? plate.x + (plate.w - width) / 2 : plate.x + margin;
  const int32_t y = plate.y + (plate.h - font->Height()) / 2;
  font->DrawTextUtf8(surface, name, x, y, 0, plate.x + plate.w - margin);
  platform::TraceLine("hall of fame name \"" + name + "\"");
}

// Where the game-over card stands, over the text panel.
constexpr int32_t kGameOverLeft = 175, kGameOverTop = 299;

}  // namespace

int32_t QuizGame::GameOver() {
  // The player who played this game, read when it started: choosing another player in the launcher meanwhile
  // must not move the score to them.
  char playerLine[256] = {};
  std::memcpy(playerLine, playerLine_, sizeof playerLine);
  platform::TraceLine("game over, score " + std::to_string(GetScore()));
  GameFigures placed = PlaceInTable(scoreTable, GetScore());
  const int32_t entered = scoreTable.InsertScore(playerLine, GetScore());
  // The launcher opens its hall of fame on this result; a record it cannot write only loses the highlight.
  WriteLastResult(entered ? PlaceOfNewEntry(scoreTable, GetScore()) : 0, GetScore(), playerLine);
  if (entered) {
    const int32_t written = scoreTable.WriteTable("hiscore.dat");
    platform::TraceLine("hiscore write \"" + std::string(playerLine) + "\" " + std::to_string(GetScore()) +
                        (written ? "" : " failed"));
    // A place in the hall of fame that could not be saved is told as such, not announced as kept.
    placed.placeSaved = written != 0;
    if (!(written ? ShowHallOfFame() : ShowNotice("savefailed.bmp", "save-failed"))) return kFrameQuit;
  }
  if (!ShowSummary(journal.EndGame(placed))) return kFrameQuit;
  StartBull(BullAnimation::kGameOver);
  g_refreshManager.ErasePictureArea(&scene_->questionPicture);
  g_refreshManager.ErasePictureArea(&scene_->answerPicture);
  if (Sprite* verdict = scene_->verdictSprite)
    g_refreshManager.EraseArea(static_cast<int32_t>(verdict->x), static_cast<int32_t>(verdict->y),
                               verdict->GetWidth(), verdict->GetHeight());
  scene_->Present();
  scene_->Present();
  PauseGameClock();

  auto* popup = new PopupDialog(*shell_);
  popup->LoadPopupPicture("gameover.bmp", "game-over");
  popup->PlaceAt(kGameOverLeft, kGameOverTop);
  popup->AddDefaultButton();
  popup->SetCloseTime(TickNow());
  if (popup->RunModal(playerLine, nullptr) == 0) {
    delete popup;
    return kFrameQuit;
  }
  delete popup;
  scene_->ForgetPressedKeys();
  SetState(kIdle);
  gameEnded_ = true;
  return kFrameContinue;
}

void QuizGame::RedrawGameOver() {
  DrawLadder();
  Picture card;
  card.Define("game-over", "gameover.bmp", kGameOverLeft, kGameOverTop, 0, 0);
  card.Draw(g_refreshManager.GetWorkSurface(), card.GetX(), card.GetY());
  g_refreshManager.MarkArea(card.GetX(), card.GetY(), card.GetWidth(), card.GetHeight(), kMarkOneShot,
                            kMarkPresent);
}

int32_t QuizGame::ShowHallOfFame() {
  const std::string line = playerLine_;
  return ShowNotice("hallfamepop.bmp", "hall-of-fame", line.substr(0, line.find(':')));
}

int32_t QuizGame::ShowNotice(const char* picture, const char* name, const std::string& playerName) {
  scene_->Present();
  auto* popup = new PopupDialog(*shell_);
  Picture* notice = popup->LoadPopupPicture(picture, name);
  if (!playerName.empty()) WriteOnNamePlate(notice, playerName);
  popup->SetCloseTime(TickNow() + rules::kNoticeMs);
  char result[256];
  if (popup->RunModal(result, nullptr) == 0) {
    delete popup;
    return 0;
  }
  delete popup;
  RedrawText();
  return 1;
}
