// The end of a game: the result offered to the hall of fame, the new-record notice, the game-over picture.
#include <string>

#include "app/app_state.h"
#include "app/game_screen.h"
#include "app/player_roster.h"
#include "common/game_rules.h"
#include "game/game_names.h"
#include "game/popup_dialog.h"
#include "game/quiz_game.h"
#include "game/ticker.h"
#include "platform/replay/trace.h"
#include "ui/refresh_manager.h"

int32_t QuizGame::GameOver() {
  char playerLine[256] = {};
  SetPlayerId(g_playerRoster.LoadCurrentPlayer(playerLine));
  platform::TraceLine("game over, score " + std::to_string(GetScore()));
  if (scoreTable.InsertScore(playerLine, GetScore())) {
    const int32_t written = scoreTable.WriteTable("hiscore.dat");
    platform::TraceLine("hiscore write \"" + std::string(playerLine) + "\" " + std::to_string(GetScore()) +
                        (written ? "" : " failed"));
    // A place in the hall of fame that could not be saved is told as such, not announced as kept.
    if (!(written ? ShowHallOfFame() : ShowNotice("savefailed.bmp"))) return kFrameQuit;
  }
  StartBull(BullAnimation::kGameOver);
  g_refreshManager.ErasePictureArea(&g_gameScreen.questionPicture);
  g_refreshManager.ErasePictureArea(&g_gameScreen.answerPicture);
  if (Sprite* verdict = g_gameScreen.verdictSprite)
    g_refreshManager.EraseArea(static_cast<int32_t>(verdict->x), static_cast<int32_t>(verdict->y),
                               verdict->GetWidth(), verdict->GetHeight());
  g_gameScreen.Present();
  g_gameScreen.Present();
  PauseGameClock();

  auto* popup = new PopupDialog();
  popup->LoadPopupPicture("gameover.bmp", nullptr);
  popup->PlaceAt(175, 299);
  popup->AddDefaultButton();
  popup->SetCloseTime(TickNow());
  if (popup->RunModal(playerLine, nullptr) == 0) {
    delete popup;
    return kFrameQuit;
  }
  delete popup;
  g_gameScreen.ForgetPressedKeys();
  SetState(kIdle);
  return kFrameContinue;
}

int32_t QuizGame::ShowHallOfFame() { return ShowNotice("hallfamepop.bmp"); }

int32_t QuizGame::ShowNotice(const char* picture) {
  g_gameScreen.Present();
  auto* popup = new PopupDialog();
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
