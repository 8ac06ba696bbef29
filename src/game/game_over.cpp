// The end of a game: the result offered to the hall of fame, the new-record notice, the game-over picture.
#include <string>

#include "common/game_rules.h"
#include "common/ticker.h"
#include "game/game_names.h"
#include "game/game_shell.h"
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

int32_t QuizGame::GameOver() {
  char playerLine[256] = {};
  SetPlayerId(shell_->LoadCurrentPlayer(playerLine));
  platform::TraceLine("game over, score " + std::to_string(GetScore()));
  int32_t entered = 0, written = 0;
  std::string keptAside;
  {
    // Another game of this suite may have saved since this one began: the table is read again under the lock, so
    // its result is kept, and no other game writes until this one has.
    const platform::ScopedFileLock lock(platform::HostPath("hiscore.dat"));
    scoreTable.Clear();
    const bool unreadable = scoreTable.LoadTable("hiscore.dat") == HighScoreTable::FileState::kUnreadable;
    entered = scoreTable.InsertScore(playerLine, GetScore());
    // A file that could not be read is never written over: it is kept aside, and the score starts a new table.
    if (entered && unreadable) keptAside = platform::KeepFileAside("hiscore.dat", "unreadable");
    if (entered && (!unreadable || !keptAside.empty())) written = scoreTable.WriteTable("hiscore.dat");
  }
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
    if (!(written ? ShowHallOfFame()
                  : ShowNotice("savefailed.bmp", "Your place in the hall of fame could not be saved.")))
      return kFrameQuit;
  }
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
  popup->LoadPopupPicture("gameover.bmp", nullptr);
  popup->PlaceAt(175, 299);
  popup->AddDefaultButton();
  popup->SetCloseTime(TickNow());
  if (popup->RunModal(playerLine, nullptr) == 0) {
    delete popup;
    return kFrameQuit;
  }
  delete popup;
  scene_->ForgetPressedKeys();
  SetState(kIdle);
  return kFrameContinue;
}

int32_t QuizGame::ShowHallOfFame() { return ShowNotice("hallfamepop.bmp"); }

int32_t QuizGame::ShowNotice(const char* picture, const char* fallback) {
  scene_->Present();
  auto* popup = new PopupDialog(*shell_);
  const Picture* shown = popup->LoadPopupPicture(picture, nullptr);
  const BitmapFont* font = g_questionBank.statementFont;
  if (fallback && (!shown || !shown->GetSurface()) && font && font->IsLoaded()) {
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
