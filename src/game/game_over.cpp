// The end of a game: the result offered to the hall of fame, the new-record notice, the game-over picture.
#include <string>

#include "common/game_rules.h"
#include "common/ticker.h"
#include "game/game_names.h"
#include "game/game_shell.h"
#include "game/last_result.h"
#include "game/popup_dialog.h"
#include "game/quiz_game.h"
#include "game/quiz_scene.h"
#include "gfx/refresh_manager.h"
#include "gfx/sprite.h"
#include "platform/replay/trace.h"

int32_t QuizGame::GameOver() {
  char playerLine[256] = {};
  SetPlayerId(shell_->LoadCurrentPlayer(playerLine));
  platform::TraceLine("game over, score " + std::to_string(GetScore()));
  const int32_t entered = scoreTable.InsertScore(playerLine, GetScore());
  // The launcher opens its hall of fame on this result; a record it cannot write only loses the highlight.
  WriteLastResult(entered ? PlaceOfNewEntry(scoreTable, GetScore()) : 0, GetScore(), playerLine);
  if (entered) {
    const int32_t written = scoreTable.WriteTable("hiscore.dat");
    platform::TraceLine("hiscore write \"" + std::string(playerLine) + "\" " + std::to_string(GetScore()) +
                        (written ? "" : " failed"));
    // A place in the hall of fame that could not be saved is told as such, not announced as kept.
    if (!(written ? ShowHallOfFame() : ShowNotice("savefailed.bmp"))) return kFrameQuit;
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

int32_t QuizGame::ShowNotice(const char* picture) {
  scene_->Present();
  auto* popup = new PopupDialog(*shell_);
  popup->LoadPopupPicture(picture, nullptr);
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
