#pragma once
// The launcher's pages and what a player does on them, apart from any window: which page is open, which control
// has the focus, the name being typed, the removal being confirmed. Keys, controller buttons and the mouse arrive
// as calls; changes go to the store at once; what the window must do (play, quit, a click sound, music on or off,
// full screen) comes back through the events.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "launcher/launcher_layout.h"
#include "launcher/launcher_store.h"
#include "launcher/name_field.h"
#include "launcher/player_records.h"

namespace hubbix {

// Stats is one player's record, reached from Players; Review the statements of their last game, from Stats.
enum class Page { Players, Settings, HallOfFame, Stats, Review };

// Every control of the window, in focus order: the page column first, then the open page's own.
enum class Control {
  Play, Players, Settings, HallOfFame, Quit,
  NameField, Add, Roster, Select, Rename, Remove, Stats, Yes, No,
  Music, Effects, Display,
  LastGame, Back,
  ReviewPrevious, ReviewNext, ReviewClose,
  None
};

enum class Command { None, Play, Quit };

struct FameRow {
  int rank = 0;
  std::string name;
  int32_t score = 0;
};

struct LauncherEvents {
  std::function<void(const std::string&)> trace;
  std::function<void()> click;
  std::function<void(bool on)> music;
  std::function<void(bool on)> fullScreen;
};

// The keys the pages answer to, in the platform's own key numbers.
struct PageKeys {
  static constexpr int kBack = 0x08, kTab = 0x09, kReturn = 0x0D, kEscape = 0x1B, kSpace = 0x20, kLeft = 0x25,
                       kUp = 0x26, kRight = 0x27, kDown = 0x28, kP = 0x50;
  static constexpr int kPadA = 0xC3, kPadB = 0xC4, kPadStart = 0xCF, kPadUp = 0xCB, kPadDown = 0xCC,
                       kPadLeft = 0xCD, kPadRight = 0xCE;
};

class LauncherPages {
 public:
  LauncherPages(LauncherStore& store, std::vector<FameRow> fame, int highlight, LauncherEvents events);
  // The players' records (owned by the caller); without them the players page has no Stats.
  void UseRecords(PlayerRecords* records) { records_ = records; }

  Page CurrentPage() const { return page_; }
  Control Focus() const { return focus_; }
  Control Hover() const { return hover_; }
  Control Pressed() const { return pressed_; }
  // The roster row the cursor is on (a player index), -1 when there is none.
  int RosterCursor() const { return cursor_; }
  bool Renaming() const { return renaming_ >= 0; }
  bool Confirming() const { return confirming_ >= 0; }
  int ConfirmingIndex() const { return confirming_; }
  const NameField& Field() const { return field_; }
  const std::string& Message() const { return message_; }
  bool MessageIsProblem() const { return problem_; }
  const std::vector<FameRow>& Fame() const { return fame_; }
  int FameHighlight() const { return highlight_; }
  const SuiteOptions& Options() const { return store_.Options(); }
  // The record on the Stats page, as read when the page opened.
  const PlayerFigures& Figures() const { return figures_; }
  // The review on the Review page, or null.
  const ReviewPager* Review() const { return review_ ? &*review_ : nullptr; }
  bool FullScreen() const { return store_.FullScreen(); }

  // Controls of the open page and the column, in focus order.
  std::vector<Control> Visible() const;
  bool Enabled(Control c) const;
  // Where a control stands; an empty box for the roster rows, which Row() places.
  static layout::Box Place(Control c);
  // Where a press counts for it: its place, grown to layout::kMinHitH high about its middle.
  static layout::Box HitBox(Control c);
  // The player index of the roster row under a point, or -1.
  int RosterRowAt(int32_t x, int32_t y) const;
  // Why Add cannot be used, or empty.
  std::string AddRefusal() const;

  // Stats shows the player under the roster cursor; Review their last game (Stats with a message when it
  // cannot be shown).
  void OpenPage(Page page);
  // A key pressed; `shift` with Tab goes backwards.
  void KeyDown(int key, bool shift);
  // A typed character, for the name field.
  void Character(uint32_t codePoint);
  void MouseMove(int32_t x, int32_t y);
  void MouseDown(int32_t x, int32_t y);
  void MouseUp(int32_t x, int32_t y);
  // The options were read again after another program changed them: the cursor and a removal in question must
  // still name players that exist.
  void OptionsChangedOutside();
  // What the window must do; reading it clears it.
  Command TakeCommand();

 private:
  void Activate(Control c);
  void MoveFocus(int step);
  void SetFocus(Control c);
  Control ControlAt(int32_t x, int32_t y) const;
  void MoveCursor(int step);
  void AddOrRename();
  void Say(const std::string& text, bool problem);
  void Trace(const std::string& text);
  bool Apply(const std::function<bool(SuiteOptions&, std::string*)>& change);
  void KeepCursorValid();
  bool OpenReview();
  void PageReview(ReviewAction action);
  void TraceReviewPage();
  void FocusPageDefault();

  LauncherStore& store_;
  std::vector<FameRow> fame_;
  int highlight_ = -1;
  LauncherEvents events_;
  Page page_ = Page::Players;
  Control focus_ = Control::Play;
  Control hover_ = Control::None;
  Control pressed_ = Control::None;
  int cursor_ = -1;
  int renaming_ = -1;
  int confirming_ = -1;
  NameField field_;
  std::string message_;
  bool problem_ = false;
  Command command_ = Command::None;
  PlayerRecords* records_ = nullptr;
  PlayerFigures figures_;
  std::optional<ReviewPager> review_;
  int32_t tracedReviewPage_ = -1;
};

const char* ControlName(Control c);
const char* PageName(Page p);

}  // namespace hubbix
