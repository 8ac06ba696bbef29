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
#include "platform/host/atomic_file.h"
#include "platform/host/file_lock.h"
#include "platform/host/file_names.h"
#include "platform/replay/trace.h"
#include "platform/window/message_box.h"
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
  int32_t entered = 0, written = 0;
  std::string keptAside;
  GameFigures placed;
  {
    // Another game of this suite may have saved since this one began: the table is read again under the lock, so
    // its result is kept, and no other game writes until this one has.
    const platform::ScopedFileLock lock(platform::HostPath("hiscore.dat"));
    scoreTable.Clear();
    const bool unreadable = scoreTable.LoadTable("hiscore.dat") == HighScoreTable::FileState::kUnreadable;
    placed = PlaceInTable(scoreTable, GetScore());
    entered = scoreTable.InsertScore(playerLine, GetScore());
    // A file that could not be read is never written over: it is kept aside, and the score starts a new table.
    if (entered && unreadable) keptAside = platform::KeepFileAside("hiscore.dat", "unreadable");
    if (entered && (!unreadable || !keptAside.empty())) written = scoreTable.WriteTable("hiscore.dat");
  }
  // The launcher opens its hall of fame on this result; a record it cannot write only loses the highlight.
  WriteLastResult(entered ? PlaceOfNewEntry(scoreTable, GetScore()) : 0, GetScore(), playerLine);
  if (!keptAside.empty()) {
    platform::TraceLine("hiscore unreadable, kept aside");
    platform::MessageBox("The hall of fame could not be read, so a new one was started. The old file was kept as " +
                             keptAside + ".",
                         "Zorvel", platform::MB_OK);
  }
  if (entered) {
    platform::TraceLine("hiscore write \"" + std::string(playerLine) + "\" " + std::to_string(GetScore()) +
                        (written ? "" : " failed"));
    // A place in the hall of fame that could not be saved is told as such, not announced as kept.
    placed.placeSaved = written != 0;
    if (!(written ? ShowHallOfFame()
                  : ShowNotice("savefailed.bmp", "save-failed", {},
                               "Your place in the hall of fame could not be saved.")))
      return kFrameQuit;
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

int32_t QuizGame::ShowNotice(const char* picture, const char* name, const std::string& playerName,
                             const char* fallback) {
  scene_->Present();
  auto* popup = new PopupDialog(*shell_);
  Picture* notice = popup->LoadPopupPicture(picture, name);
  if (!playerName.empty()) WriteOnNamePlate(notice, playerName);
  const BitmapFont* font = g_questionBank.statementFont;
  if (fallback && (!notice || !notice->GetSurface()) && font && font->IsLoaded()) {
    // A damaged picture must not turn the notice into an empty popup: the words are written in the text panel.
    platform::TraceLine(std::string("notice text \"") + fallback + "\"");
    g_refreshManager.ErasePictureArea(&scene_->questionPicture);
    font->DrawText(g_refreshManager.GetWorkSurface(), fallback, rules::kTextX, rules::kTextY, 0, -1);
    g_refreshManager.PaintPicture(&scene_->questionPicture);
    scene_->Present();
  }
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
