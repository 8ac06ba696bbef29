#include "app/game_screen.h"

#include "app/app_shell.h"
#include "app/game_buttons.h"
#include "common/game_rules.h"
#include "game/game_names.h"
#include "game/quiz_game.h"
#include "gfx/refresh_manager.h"
#include "gfx/sprite_animation_list.h"
#include "platform/host/file_names.h"
#include "platform/window/message_box.h"
#include "platform/window/messages.h"
#include "sound/sound_table.h"
#include "ui/widget.h"
#include "ui/widget_set.h"

GameScreen g_gameScreen;

namespace {

// Keyboard and controller play: each key stands for a click on its buttons. A controller's A both answers True
// and goes on after the explanation; only the button the current state polls acts. The same keys answer the
// game's yes-or-no question: Y, Return or A say yes; N, Escape, B or Start say no.
GameScreen::KeyPress MeaningOfKey(uintptr_t vk) {
  using Reply = QuizScene::Reply;
  switch (vk) {
    case 'T': case platform::VK_LEFT: return {{"true"}};
    case 'F': case platform::VK_RIGHT: return {{"false"}};
    case platform::VK_GAMEPAD_B: return {{"false"}, Reply::kNo};
    case 'P': case platform::VK_DOWN: case platform::VK_GAMEPAD_X: case platform::VK_GAMEPAD_Y: return {{"pass"}};
    case platform::VK_SPACE: return {{"next"}};
    case platform::VK_RETURN: return {{"next"}, Reply::kYes};
    case platform::VK_GAMEPAD_A: return {{"true", "next"}, Reply::kYes};
    case 'N': case platform::VK_GAMEPAD_MENU: return {{"newgame"}, Reply::kNo};
    case 'R': case platform::VK_GAMEPAD_VIEW: return {{"info"}};
    case 'M': return {{"menu"}};
    case 'Y': return {{}, Reply::kYes};
    case platform::VK_ESCAPE: return {{}, Reply::kNo};
    default: return {};
  }
}

Sprite* NewSprite() { return new Sprite(); }

}  // namespace

GameScreen::GameScreen() {
  SetName("Zorvel");
  backgroundPicture_ = nullptr;
}

GameScreen::~GameScreen() = default;

void GameScreen::Activate(platform::DirectDraw* directDraw, platform::Surface* backSurface) {
  Screen::Activate(directDraw, backSurface);

  backgroundPicture_ = AddPicture("background.bmp");
  backgroundCopyPicture_ = AddPicture("background.bmp");
  backgroundMissing_ = !backgroundPicture_ || !backgroundCopyPicture_;
  if (backgroundMissing_) {
    // Without the background there is no scene to draw into: say so and end in order. A file that is there but
    // cannot be read as a picture is named as such, so the player does not look for a file they already have.
    if (platform::FileExists("background.bmp")) {
      platform::MessageBox("background.bmp in the game's folder cannot be read as a picture, so Zorvel cannot be "
                           "shown.",
                           "ERROR: can't read file!", platform::MB_OK);
    } else {
      platform::MessageBox("background.bmp is missing from the game's folder, so Zorvel cannot be shown.",
                           "ERROR: can't find file!", platform::MB_OK);
    }
    return;
  }
  g_refreshManager.SetWorkSurface(backgroundPicture_->GetSurface());
  g_refreshManager.SetCleanSurface(backgroundCopyPicture_->GetSurface());
  g_refreshManager.RestoreAll();

  for (const GameButton& b : kGameButtons) {
    auto* widget = new Widget(b.x, b.y);
    widget->SetName(b.name);
    widget->LoadStrip(b.bitmap, 2, 0);
    widgets_->Add(widget);
  }
  constexpr rules::PanelRect panel = rules::kTextPanel;
  auto* next = new Widget(panel.x, panel.y, panel.w, panel.h);
  next->SetName("next");
  widgets_->Add(next);

  verdictSprite = NewSprite();
  verdictSprite->x = 345.0f, verdictSprite->y = 254.0f;
  verdictSprite->LoadFrame("true.bmp");
  verdictSprite->LoadFrame("false.bmp");
  flowerSprite = NewSprite();
  flowerSprite->LoadFrame("flower.bmp");
  bullSprite = NewSprite();
  bullSprite->LoadSheet("bullanim.bmp", 415, 251);
  bullTimerSprite = NewSprite();
  bullTimerSprite->LoadFrame("bulltimer.bmp");
  scoreDigitsSprite = NewSprite();
  scoreDigitsSprite->LoadStrip("scorefont.bmp", 10, 0);
  continueSprite = NewSprite();
  continueSprite->LoadFrame("clicktocontinue.bmp");
  continueSprite->x = 347.0f, continueSprite->y = 403.0f;
  allScoreSprite = NewSprite();
  allScoreSprite->LoadStrip("allscore.bmp", 10, 0);
  allScoreSprite->SplitWidth();
  allScoreHighlightSprite = NewSprite();
  allScoreHighlightSprite->LoadStrip("allscorehighlight.bmp", 10, 0);
  allScoreHighlightSprite->SplitWidth();

  panelPicture.Define("panel", nullptr, 2, 70, 150, 442);
  questionPicture.Define("question", nullptr, panel.x, panel.y, panel.w, panel.h);
  answerPicture.Define("answer", nullptr, panel.x, panel.y, panel.w, panel.h);

  for (int32_t i = 0; i < kRegisteredSoundCount; ++i) {
    const GameSoundSpec& sound = SoundSpec(static_cast<GameSound>(i));
    g_soundTable.LoadSound(sound.file, sound.name);
  }

  g_quizGame.Attach(this, &g_appShell);
  g_quizGame.Reset();
}

void GameScreen::Deactivate() {
  g_soundTable.FreeAllSounds();
  Screen::Deactivate();
  for (Sprite** s : {&verdictSprite, &allScoreSprite, &allScoreHighlightSprite, &flowerSprite, &continueSprite,
                     &bullSprite, &bullTimerSprite, &scoreDigitsSprite}) {
    delete *s;
    *s = nullptr;
  }
  g_spriteAnimations.Clear();
  backgroundPicture_ = backgroundCopyPicture_ = nullptr;
  pressedKeys_.clear();
  escapeAnswers_ = escapeReleaseTaken_ = false;
}

int32_t GameScreen::HandleMessage(platform::Window*, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  const bool escape = wParam == static_cast<uintptr_t>(platform::VK_ESCAPE);
  if (message == platform::WM_KEYDOWN && escape && escapeAnswers_) {
    // This Escape said no to the game's question; its release must not then close the program.
    escapeReleaseTaken_ = true;
  } else if (message == platform::WM_KEYDOWN && escape) {
    return 1;  // Escape closes the program on its release, through the window
  }
  if (message == platform::WM_KEYUP && escape && escapeReleaseTaken_) {
    escapeReleaseTaken_ = false;
    return kMessageTaken;
  }
  // Key presses (not auto-repeats) of the game's keys are kept for the quiz's next frame.
  if (message == platform::WM_KEYDOWN && !platform::IsKeyRepeat(lParam))
    if (KeyPress press = MeaningOfKey(wParam); !press.buttons.empty() || press.reply != Reply::kNone)
      pressedKeys_.push_back(std::move(press));
  return 1;
}

int32_t GameScreen::HandleFrame(int32_t) {
  if (backgroundMissing_) return kFrameQuit;
  if (g_quizGame.Run() == kFrameQuit) return kFrameQuit;
  Present();
  return kFrameContinue;
}

int32_t GameScreen::Present() { return Screen::Present(); }

std::vector<GameScreen::KeyPress> GameScreen::TakePressedKeys() {
  std::vector<KeyPress> keys;
  keys.swap(pressedKeys_);
  return keys;
}
