#include "launcher/launcher_pages.h"

#include <algorithm>

#include "common/summary_layout.h"

namespace hubbix {

namespace lay = layout;

const char* ControlName(Control c) {
  switch (c) {
    case Control::Play: return "play";
    case Control::Players: return "players";
    case Control::Settings: return "settings";
    case Control::HallOfFame: return "halloffame";
    case Control::Quit: return "quit";
    case Control::NameField: return "name";
    case Control::Add: return "add";
    case Control::Roster: return "roster";
    case Control::Select: return "select";
    case Control::Rename: return "rename";
    case Control::Remove: return "remove";
    case Control::Stats: return "stats";
    case Control::Yes: return "yes";
    case Control::No: return "no";
    case Control::Music: return "music";
    case Control::Effects: return "effects";
    case Control::Display: return "display";
    case Control::LastGame: return "lastgame";
    case Control::Back: return "back";
    case Control::ReviewPrevious: return "review-back";
    case Control::ReviewNext: return "review-next";
    case Control::ReviewClose: return "review-close";
    case Control::None: break;
  }
  return "none";
}

const char* PageName(Page p) {
  switch (p) {
    case Page::Players: return "players";
    case Page::Settings: return "settings";
    case Page::HallOfFame: return "halloffame";
    case Page::Stats: return "stats";
    case Page::Review: return "review";
  }
  return "";
}

LauncherPages::LauncherPages(LauncherStore& store, std::vector<FameRow> fame, int highlight, LauncherEvents events)
    : store_(store), fame_(std::move(fame)), highlight_(highlight), events_(std::move(events)) {
  cursor_ = store_.Options().CurrentPlayer();
  field_.SetFont(store_.Font());
}

std::vector<Control> LauncherPages::Visible() const {
  // The review's card covers the column: only its own buttons answer.
  if (page_ == Page::Review) return {Control::ReviewPrevious, Control::ReviewNext, Control::ReviewClose};
  std::vector<Control> list{Control::Play, Control::Players, Control::Settings, Control::HallOfFame, Control::Quit};
  switch (page_) {
    case Page::Players:
      if (Confirming()) {
        list.insert(list.end(), {Control::Yes, Control::No});
      } else {
        list.insert(list.end(), {Control::NameField, Control::Add, Control::Roster, Control::Select, Control::Rename,
                                 Control::Remove, Control::Stats});
      }
      break;
    case Page::Settings: list.insert(list.end(), {Control::Music, Control::Effects, Control::Display}); break;
    case Page::HallOfFame: break;
    case Page::Stats: list.insert(list.end(), {Control::LastGame, Control::Back}); break;
    case Page::Review: break;
  }
  return list;
}

std::string LauncherPages::AddRefusal() const {
  if (!Renaming() && store_.Options().Full())
    return "Room for " + std::to_string(SuiteOptions::kMaxPlayers) + " players only: remove one to add another.";
  return {};
}

bool LauncherPages::Enabled(Control c) const {
  const auto& v = Visible();
  if (std::find(v.begin(), v.end(), c) == v.end()) return false;
  switch (c) {
    case Control::Add: return AddRefusal().empty();
    case Control::Select:
    case Control::Rename: return cursor_ >= 0 && !Renaming();
    // The last player stays: the games always play as someone.
    case Control::Remove: return cursor_ >= 0 && !Renaming() && store_.Options().Players().size() > 1;
    case Control::Stats: return cursor_ >= 0 && !Renaming() && records_ != nullptr;
    case Control::LastGame: return figures_.lastGameAnswers > 0;
    case Control::ReviewPrevious: return review_ && review_->Page() > 0;
    case Control::ReviewNext: return review_ && review_->Page() + 1 < review_->Count();
    default: return true;
  }
}

lay::Box LauncherPages::Place(Control c) {
  switch (c) {
    case Control::Play: return lay::kPlay;
    case Control::Players: return lay::kPlayers;
    case Control::Settings: return lay::kSettings;
    case Control::HallOfFame: return lay::kHallOfFame;
    case Control::Quit: return lay::kQuit;
    case Control::NameField: return lay::kNameField;
    case Control::Add: return lay::kAdd;
    case Control::Roster: return lay::kRoster;
    case Control::Select: return lay::kSelect;
    case Control::Rename: return lay::kRename;
    case Control::Remove: return lay::kRemove;
    case Control::Stats: return lay::kStats;
    case Control::LastGame: return lay::kLastGame;
    case Control::Back: return lay::kBack;
    case Control::ReviewPrevious:
    case Control::ReviewNext:
    case Control::ReviewClose: {
      using namespace summary_layout;
      const Box& b = c == Control::ReviewPrevious ? kPreviousButton
                     : c == Control::ReviewNext   ? kNextButton
                                                  : kDoneButton;
      return {kReviewCard.x + b.x, kReviewCard.y + b.y, b.w, b.h};
    }
    case Control::Yes: return lay::kYes;
    case Control::No: return lay::kNo;
    case Control::Music: return {lay::kSwitchX, lay::kSettingY, lay::kSwitchW, lay::kSmallH};
    case Control::Effects: return {lay::kSwitchX, lay::kSettingY + lay::kSettingGap, lay::kSwitchW, lay::kSmallH};
    case Control::Display:
      return {lay::kSwitchX, lay::kSettingY + 2 * lay::kSettingGap, lay::kSwitchW, lay::kSmallH};
    case Control::None: break;
  }
  return {0, 0, 0, 0};
}

lay::Box LauncherPages::HitBox(Control c) {
  lay::Box box = Place(c);
  if (box.h > 0 && box.h < lay::kMinHitH) {
    box.y -= (lay::kMinHitH - box.h) / 2;
    box.h = lay::kMinHitH;
  }
  return box;
}

int LauncherPages::RosterRowAt(int32_t x, int32_t y) const {
  if (page_ != Page::Players || Confirming() || !Place(Control::Roster).Contains(x, y)) return -1;
  const auto players = store_.Options().Players();
  for (size_t n = 0; n < players.size(); ++n)
    if (lay::RosterRow(static_cast<int32_t>(n)).Contains(x, y)) return players[n].index;
  return -1;
}

Control LauncherPages::ControlAt(int32_t x, int32_t y) const {
  // The drawn place first, so that grown hit areas never take a press from a neighbour's own button.
  const auto list = Visible();
  for (Control c : list)
    if (Place(c).Contains(x, y)) return c;
  for (Control c : list)
    if (HitBox(c).Contains(x, y)) return c;
  return Control::None;
}

void LauncherPages::Trace(const std::string& text) {
  if (events_.trace) events_.trace("launcher " + text);
}

void LauncherPages::Say(const std::string& text, bool problem) {
  message_ = text;
  problem_ = problem;
  if (!text.empty()) Trace(std::string(problem ? "problem " : "message ") + text);
}

void LauncherPages::OpenPage(Page page) {
  renaming_ = confirming_ = -1;
  field_.Clear();
  message_.clear();
  KeepCursorValid();
  if (page == Page::Review && !OpenReview()) return;
  if (page != Page::Review) review_.reset();
  if (page == Page::Stats) {
    // Read afresh each time: a game played since, or a change made by another program, shows. Back from the
    // review it is the same player's, whatever another program did to the roster meanwhile.
    const std::string name = page_ == Page::Review ? figures_.name : store_.Options().PlayerName(cursor_);
    if (records_) {
      figures_ = records_->Figures(name);
    } else {
      figures_ = PlayerFigures();
      figures_.name = name;
    }
  }
  page_ = page;
  Trace(std::string("page ") + PageName(page));
  if (page == Page::Stats) {
    const PlayerFigures& f = figures_;
    Trace("stats " + std::to_string(cursor_ + 1) + " " + f.name + ": record " + f.file + " " +
          MemoryStatusName(f.status) + ", games " + std::to_string(f.games) + ", best " + std::to_string(f.best) +
          ", average " + std::to_string(f.average) + ", topics " + std::to_string(f.topics.size()) +
          ", last game " + std::to_string(f.lastGameAnswers));
  }
  if (page == Page::Review) TraceReviewPage();
  FocusPageDefault();
}

bool LauncherPages::OpenReview() {
  if (page_ != Page::Stats && page_ != Page::Review) OpenPage(Page::Stats);
  const std::string& name = figures_.name;  // the player whose record is on show
  std::vector<ReviewItem> items;
  std::string problem;
  if (!records_ || !records_->LastGameReview(name, &items, &problem)) {
    Say(problem.empty() ? std::string("There is no record to review.") : problem, true);
    return false;
  }
  review_.emplace(std::move(items));
  tracedReviewPage_ = -1;
  Trace("review open, " + std::to_string(review_->Count()) + " statements");
  return true;
}

void LauncherPages::TraceReviewPage() {
  if (!review_ || review_->Page() == tracedReviewPage_) return;
  tracedReviewPage_ = review_->Page();
  const ReviewItem* item = review_->Current();
  Trace("review page " + std::to_string(tracedReviewPage_ + 1) +
        (item ? std::string(" \"") + (item->statement.empty() ? "" : item->statement[0]) + "\" " +
                    AnswerWord(item->answer) + (item->truth ? " TRUE" : " FALSE")
              : std::string()));
}

void LauncherPages::PageReview(ReviewAction action) {
  if (!review_) return;
  review_->Apply(action);
  TraceReviewPage();
  // At either end its paging button goes grey: Return should still do something.
  if (!Enabled(focus_))
    SetFocus(Enabled(Control::ReviewNext) ? Control::ReviewNext
             : Enabled(Control::ReviewPrevious) ? Control::ReviewPrevious : Control::ReviewClose);
}

// A page's controls that are not the column: where the focus lands when the page opens with it elsewhere.
void LauncherPages::FocusPageDefault() {
  const auto list = Visible();
  if (page_ == Page::Review) {
    SetFocus(Enabled(Control::ReviewNext) ? Control::ReviewNext : Control::ReviewClose);
  } else if (std::find(list.begin(), list.end(), focus_) == list.end() || !Enabled(focus_)) {
    if (page_ != Page::Stats) SetFocus(Control::Play);
    else SetFocus(Enabled(Control::LastGame) ? Control::LastGame : Control::Back);
  }
}

void LauncherPages::SetFocus(Control c) {
  if (c == focus_) return;
  focus_ = c;
  Trace(std::string("focus ") + ControlName(c));
}

void LauncherPages::MoveFocus(int step) {
  const auto list = Visible();
  auto at = std::find(list.begin(), list.end(), focus_);
  long i = at == list.end() ? 0 : at - list.begin();
  const long n = static_cast<long>(list.size());
  // Disabled controls are passed over, so the focus always rests where Return does something.
  for (long tries = 0; tries < n; ++tries) {
    i = ((i + step) % n + n) % n;
    if (Enabled(list[static_cast<size_t>(i)])) break;
  }
  SetFocus(list[static_cast<size_t>(i)]);
}

void LauncherPages::KeepCursorValid() {
  const auto players = store_.Options().Players();
  const bool present = std::any_of(players.begin(), players.end(), [&](const PlayerEntry& p) { return p.index == cursor_; });
  if (!present) cursor_ = players.empty() ? -1 : store_.Options().CurrentPlayer();
}

void LauncherPages::MoveCursor(int step) {
  const auto players = store_.Options().Players();
  if (players.empty()) return;
  long row = 0;
  for (size_t i = 0; i < players.size(); ++i)
    if (players[i].index == cursor_) row = static_cast<long>(i);
  row = std::clamp<long>(row + step, 0, static_cast<long>(players.size()) - 1);
  cursor_ = players[static_cast<size_t>(row)].index;
}

bool LauncherPages::Apply(const std::function<bool(SuiteOptions&, std::string*)>& change) {
  std::string error;
  if (!store_.Change(change, &error)) {
    Say(error, true);
    KeepCursorValid();
    return false;
  }
  KeepCursorValid();
  return true;
}

void LauncherPages::AddOrRename() {
  const std::string name = field_.Text();
  if (Renaming()) {
    const int index = renaming_;
    const std::string oldName = store_.Options().PlayerName(index);
    if (!Apply([&](SuiteOptions& o, std::string* e) { return o.RenamePlayer(index, name, e); })) return;
    renaming_ = -1;
    field_.Clear();
    const std::string newName = store_.Options().PlayerName(index);
    Trace("rename " + std::to_string(index + 1) + " " + newName);
    Say("Renamed player " + std::to_string(index + 1) + " to " + newName + ".", false);
    // The record is kept under the name: it moves with the player, so their games stay theirs.
    if (records_) {
      std::string problem;
      switch (records_->FollowRename(oldName, newName, &problem)) {
        case PlayerRecords::Move::kMoved: Trace("record moved to " + newName); break;
        case PlayerRecords::Move::kNoFile: break;
        case PlayerRecords::Move::kNewNameHasOne:
          Trace("record kept: " + newName + " has one already");
          Say("Renamed player " + std::to_string(index + 1) + " to " + newName + ", who has played before: " +
                  "the games of that name count.", false);
          break;
        case PlayerRecords::Move::kFailed: Say(problem, true); break;
      }
    }
    return;
  }
  if (const std::string why = AddRefusal(); !why.empty()) {
    Say(why, true);
    return;
  }
  int added = -1;
  if (!Apply([&](SuiteOptions& o, std::string* e) { return (added = o.AddPlayer(name, e)) >= 0; })) return;
  field_.Clear();
  cursor_ = added;
  Trace("add " + std::to_string(added + 1) + " " + store_.Options().PlayerName(added));
  Say(store_.Options().PlayerName(added) + " joins and plays next.", false);
}

void LauncherPages::Activate(Control c) {
  if (!Enabled(c)) {
    if (c == Control::Add) Say(AddRefusal(), true);
    return;
  }
  if (c != Control::NameField && c != Control::Roster && events_.click) events_.click();
  switch (c) {
    case Control::Play:
      Trace("play as " + store_.Options().PlayerName(store_.Options().CurrentPlayer()));
      command_ = Command::Play;
      break;
    case Control::Quit:
      Trace("quit");
      command_ = Command::Quit;
      break;
    case Control::Players: OpenPage(Page::Players); break;
    case Control::Settings: OpenPage(Page::Settings); break;
    case Control::HallOfFame: OpenPage(Page::HallOfFame); break;
    case Control::Stats: OpenPage(Page::Stats); break;
    case Control::Back:
      SetFocus(Control::Stats);  // first, so the players page keeps it
      OpenPage(Page::Players);
      break;
    case Control::LastGame: OpenPage(Page::Review); break;
    case Control::ReviewPrevious: PageReview(ReviewAction::kPrevious); break;
    case Control::ReviewNext: PageReview(ReviewAction::kNext); break;
    case Control::ReviewClose:
      Trace("review close");
      SetFocus(Control::LastGame);
      OpenPage(Page::Stats);
      break;
    case Control::NameField:
    case Control::Add: AddOrRename(); break;
    case Control::Roster:
    case Control::Select: {
      const int index = cursor_;
      if (!Apply([&](SuiteOptions& o, std::string* e) { return o.SelectPlayer(index, e); })) break;
      Trace("select " + std::to_string(index + 1) + " " + store_.Options().PlayerName(index));
      Say(store_.Options().PlayerName(index) + " plays next.", false);
      break;
    }
    case Control::Rename:
      renaming_ = cursor_;
      field_.SetText(store_.Options().PlayerName(cursor_));
      SetFocus(Control::NameField);
      Say("Type the new name and press Return (Escape keeps the old one).", false);
      break;
    case Control::Remove:
      confirming_ = cursor_;
      SetFocus(Control::No);
      Say("Remove " + store_.Options().PlayerName(cursor_) + " from the players?", false);
      break;
    case Control::Yes: {
      const int index = confirming_;
      const std::string name = store_.Options().PlayerName(index);
      confirming_ = -1;
      SetFocus(Control::Roster);
      if (!Apply([&](SuiteOptions& o, std::string* e) { return o.RemovePlayer(index, e); })) break;
      Trace("remove " + std::to_string(index + 1) + " " + name);
      Say(name + " was removed.", false);
      break;
    }
    case Control::No:
      confirming_ = -1;
      SetFocus(Control::Remove);
      Say({}, false);
      break;
    case Control::Music: {
      const bool on = !store_.Options().Music();
      if (!Apply([&](SuiteOptions& o, std::string*) { o.SetMusic(on); return true; })) break;
      Trace(std::string("music ") + (on ? "on" : "off"));
      if (events_.music) events_.music(on);
      break;
    }
    case Control::Effects: {
      const bool on = !store_.Options().SoundEffects();
      if (!Apply([&](SuiteOptions& o, std::string*) { o.SetSoundEffects(on); return true; })) break;
      Trace(std::string("effects ") + (on ? "on" : "off"));
      break;
    }
    case Control::Display: {
      const bool on = !store_.FullScreen();
      std::string error;
      if (!store_.SetFullScreen(on, &error)) {
        Say(error, true);
        break;
      }
      Trace(std::string("display ") + (on ? "fullscreen" : "window"));
      if (events_.fullScreen) events_.fullScreen(on);
      break;
    }
    case Control::None: break;
  }
}

void LauncherPages::KeyDown(int key, bool shift) {
  using K = PageKeys;
  // The controller's cross moves like the arrow keys.
  if (key == K::kPadUp) key = K::kUp;
  if (key == K::kPadDown) key = K::kDown;
  if (key == K::kPadLeft) key = K::kLeft;
  if (key == K::kPadRight) key = K::kRight;
  const bool inField = focus_ == Control::NameField;
  if (page_ == Page::Review) {
    // The card's own keys, as the game's review has them: Left and Right page, P closes.
    switch (key) {
      case K::kLeft: Activate(Control::ReviewPrevious); return;
      case K::kRight:
      case K::kSpace: Activate(Control::ReviewNext); return;
      case K::kEscape:
      case K::kPadB:
      case K::kP: Activate(Control::ReviewClose); return;
      default: break;
    }
  }
  if (page_ == Page::Stats && (key == K::kEscape || key == K::kPadB)) {
    Activate(Control::Back);
    return;
  }
  switch (key) {
    case K::kTab: MoveFocus(shift ? -1 : 1); return;
    case K::kReturn:
    case K::kPadA: Activate(focus_); return;
    case K::kPadStart: Activate(Control::Play); return;
    case K::kEscape:
    case K::kPadB:
      // Back out of what is half done first; then the focus goes home to Play.
      if (Confirming()) Activate(Control::No);
      else if (Renaming()) {
        renaming_ = -1;
        field_.Clear();
        Say({}, false);
      } else SetFocus(Control::Play);
      return;
    case K::kBack:
      if (inField) field_.Backspace();
      return;
    case K::kLeft:
      if (inField) field_.CaretLeft();
      else MoveFocus(-1);
      return;
    case K::kRight:
      if (inField) field_.CaretRight();
      else MoveFocus(1);
      return;
    case K::kUp:
      if (focus_ == Control::Roster && cursor_ != store_.Options().Players().front().index) MoveCursor(-1);
      else MoveFocus(-1);
      return;
    case K::kDown:
      if (focus_ == Control::Roster && cursor_ != store_.Options().Players().back().index) MoveCursor(1);
      else MoveFocus(1);
      return;
    default: return;
  }
}

void LauncherPages::Character(uint32_t codePoint) {
  if (focus_ != Control::NameField) return;
  // Return, Backspace and Escape arrive as keys; their characters are not text.
  if (codePoint < 0x20) return;
  if (!field_.Insert(codePoint)) Say(field_.Problem(), true);
  else if (problem_) Say({}, false);
}

void LauncherPages::MouseMove(int32_t x, int32_t y) { hover_ = ControlAt(x, y); }

void LauncherPages::MouseDown(int32_t x, int32_t y) {
  pressed_ = ControlAt(x, y);
  if (pressed_ == Control::Roster) {
    if (const int row = RosterRowAt(x, y); row >= 0) cursor_ = row;
  }
  if (pressed_ != Control::None && Enabled(pressed_)) SetFocus(pressed_);
}

void LauncherPages::MouseUp(int32_t x, int32_t y) {
  const Control was = pressed_;
  pressed_ = Control::None;
  // A click is a press and a release on the same control; the field and the roster take the focus only.
  if (was == Control::None || ControlAt(x, y) != was || was == Control::NameField || was == Control::Roster) return;
  Activate(was);
}

void LauncherPages::OptionsChangedOutside() {
  Trace("options changed outside");
  const auto players = store_.Options().Players();
  const auto exists = [&](int index) {
    return std::any_of(players.begin(), players.end(), [&](const PlayerEntry& p) { return p.index == index; });
  };
  if (Confirming() && !exists(confirming_)) {
    confirming_ = -1;
    SetFocus(Control::Roster);
    Say({}, false);
  }
  if (Renaming() && !exists(renaming_)) {
    renaming_ = -1;
    field_.Clear();
  }
  KeepCursorValid();
}

Command LauncherPages::TakeCommand() {
  const Command c = command_;
  command_ = Command::None;
  return c;
}

}  // namespace hubbix
