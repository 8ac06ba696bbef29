#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/launcher_pages.h"
#include "launcher/launcher_store.h"
#include "launcher/name_field.h"

namespace {

using hubbix::Command;
using hubbix::Control;
using hubbix::LauncherPages;
using hubbix::LauncherStore;
using hubbix::Page;
using K = hubbix::PageKeys;

// A launcher on an in-memory store, with what it reports collected.
struct Launcher {
  LauncherStore store{"", ""};
  std::vector<std::string> trace;
  int clicks = 0;
  std::vector<bool> music;
  LauncherPages pages{store, {}, -1,
                      hubbix::LauncherEvents{[this](const std::string& t) { trace.push_back(t); },
                                             [this] { ++clicks; }, [this](bool on) { music.push_back(on); },
                                             nullptr}};

  void Type(const std::string& text) {
    for (unsigned char c : text) pages.Character(c);
  }
  void Key(int key) { pages.KeyDown(key, false); }
  void Click(Control c) {
    const auto box = LauncherPages::Place(c);
    pages.MouseDown(box.x + box.w / 2, box.y + box.h / 2);
    pages.MouseUp(box.x + box.w / 2, box.y + box.h / 2);
  }
  bool Traced(const std::string& line) const {
    for (const auto& t : trace)
      if (t == line) return true;
    return false;
  }
  void AddByTyping(const std::string& name) {
    Click(Control::NameField);
    Type(name);
    Key(K::kReturn);
  }
};

TEST(LauncherPages, PlayComesFirstAndTabWalksEveryEnabledControlOfThePage) {
  Launcher l;
  l.pages.OpenPage(Page::Players);
  EXPECT_EQ(l.pages.Focus(), Control::Play);
  std::vector<Control> seen;
  for (int i = 0; i < 10; ++i) {
    l.Key(K::kTab);
    seen.push_back(l.pages.Focus());
  }
  // Remove is disabled with a single player, so the walk passes over it and wraps round to Play.
  const std::vector<Control> expected{Control::Players, Control::Settings, Control::HallOfFame, Control::Quit,
                                      Control::NameField, Control::Add, Control::Roster, Control::Select,
                                      Control::Rename, Control::Play};
  EXPECT_EQ(seen, expected);
  l.pages.KeyDown(K::kTab, true);
  EXPECT_EQ(l.pages.Focus(), Control::Rename);
  // Escape brings the focus home; Return there plays, and so does the controller's Start from anywhere.
  l.Key(K::kEscape);
  EXPECT_EQ(l.pages.Focus(), Control::Play);
  l.Key(K::kReturn);
  EXPECT_EQ(l.pages.TakeCommand(), Command::Play);
  EXPECT_EQ(l.pages.TakeCommand(), Command::None);
  l.Key(K::kTab);
  l.Key(K::kPadStart);
  EXPECT_EQ(l.pages.TakeCommand(), Command::Play);
}

TEST(LauncherPages, PlayersAreAddedByTypingSelectedRenamedAndRemovedAfterAsking) {
  Launcher l;
  l.pages.OpenPage(Page::Players);
  // With no players stored, the first one takes the place of the default "Player1".
  l.AddByTyping("Ann");
  l.AddByTyping("Bob");
  const hubbix::SuiteOptions& o = l.pages.Options();
  ASSERT_EQ(o.PlayerName(0), "Ann");
  ASSERT_EQ(o.PlayerName(1), "Bob");
  EXPECT_EQ(o.CurrentPlayer(), 1);  // the newest player plays next
  EXPECT_TRUE(l.Traced("launcher add 1 Ann"));
  EXPECT_TRUE(l.pages.Field().Text().empty());

  // The same name in other letters is the same player.
  l.AddByTyping("ann");
  EXPECT_TRUE(l.pages.MessageIsProblem());
  EXPECT_EQ(l.pages.Message(), "There is already a player called Ann.");

  // Select Ann with the keys: the roster row moves with Up, Return selects.
  for (int i = 0; i < 3; ++i) l.Key(K::kBack);
  while (l.pages.Focus() != Control::Roster) l.Key(K::kTab);
  EXPECT_EQ(l.pages.RosterCursor(), 1);
  l.Key(K::kUp);
  EXPECT_EQ(l.pages.Focus(), Control::Roster);
  EXPECT_EQ(l.pages.RosterCursor(), 0);
  l.Key(K::kReturn);
  EXPECT_EQ(o.CurrentPlayer(), 0);

  // Rename fills the field with the old name; Escape keeps it, Return stores the new one.
  l.Click(Control::Rename);
  EXPECT_EQ(l.pages.Field().Text(), "Ann");
  EXPECT_EQ(l.pages.Focus(), Control::NameField);
  l.Key(K::kEscape);
  EXPECT_FALSE(l.pages.Renaming());
  EXPECT_EQ(o.PlayerName(0), "Ann");
  l.Click(Control::Rename);
  l.Type(" Lee");
  l.Key(K::kReturn);
  EXPECT_EQ(o.PlayerName(0), "Ann Lee");
  EXPECT_EQ(o.PlayerName(1), "Bob");

  // Remove asks first; No keeps the player, Yes removes them and the first player left plays next.
  l.Click(Control::Remove);
  ASSERT_TRUE(l.pages.Confirming());
  EXPECT_EQ(l.pages.Focus(), Control::No);
  l.Key(K::kReturn);
  EXPECT_FALSE(l.pages.Confirming());
  EXPECT_TRUE(o.Document().HasSection("Player1"));
  l.Click(Control::Remove);
  l.Key(K::kEscape);
  EXPECT_TRUE(o.Document().HasSection("Player1"));
  l.Click(Control::Remove);
  l.Click(Control::Yes);
  EXPECT_FALSE(o.Document().HasSection("Player1"));
  EXPECT_EQ(o.CurrentPlayer(), 1);
  EXPECT_TRUE(l.Traced("launcher remove 1 Ann Lee"));
  // The last player stays: Remove is disabled.
  EXPECT_FALSE(l.pages.Enabled(Control::Remove));
}

TEST(LauncherPages, AFullRosterDisablesAddAndSaysWhy) {
  Launcher l;
  l.pages.OpenPage(Page::Players);
  for (const char* name : {"A1", "A2", "A3", "A4", "A5", "A6", "A7", "A8"}) l.AddByTyping(name);
  EXPECT_EQ(l.pages.Options().Players().size(), 8u);
  EXPECT_FALSE(l.pages.Enabled(Control::Add));
  EXPECT_EQ(l.pages.AddRefusal(), "Room for 8 players only: remove one to add another.");
  l.AddByTyping("Ninth");
  EXPECT_TRUE(l.pages.MessageIsProblem());
  EXPECT_FALSE(l.pages.Options().Document().HasSection("Player9"));
  // A click on the disabled button is no click.
  const int clicks = l.clicks;
  l.Click(Control::Add);
  EXPECT_EQ(l.clicks, clicks);
}

TEST(LauncherPages, SettingsSwitchAtOnceAndTheMouseNeedsPressAndReleaseOnOneButton) {
  Launcher l;
  l.pages.OpenPage(Page::Settings);
  ASSERT_TRUE(l.pages.Options().Music());
  l.Click(Control::Music);
  EXPECT_FALSE(l.pages.Options().Music());
  EXPECT_EQ(l.music, std::vector<bool>{false});
  l.Click(Control::Effects);
  EXPECT_FALSE(l.pages.Options().SoundEffects());
  EXPECT_FALSE(l.pages.FullScreen());
  l.Click(Control::Display);
  EXPECT_TRUE(l.pages.FullScreen());
  EXPECT_EQ(l.clicks, 3);

  // Pressed on Music, released on Effects: nothing changes.
  const auto music = LauncherPages::Place(Control::Music), effects = LauncherPages::Place(Control::Effects);
  l.pages.MouseDown(music.x + 5, music.y + 5);
  l.pages.MouseUp(effects.x + 5, effects.y + 5);
  EXPECT_FALSE(l.pages.Options().Music());
  EXPECT_FALSE(l.pages.Options().SoundEffects());
  // Controls of another page do not answer.
  l.pages.OpenPage(Page::HallOfFame);
  l.Click(Control::Music);
  EXPECT_FALSE(l.pages.Options().Music());
}

TEST(NameField, EditsWholeCharactersAndRefusesWhatTheNameRuleRefuses) {
  hubbix::NameField f;
  for (char c : std::string("Ann")) EXPECT_TRUE(f.Insert(static_cast<unsigned char>(c)));
  f.CaretLeft();
  EXPECT_TRUE(f.Insert('x'));
  EXPECT_EQ(f.Text(), "Anxn");
  EXPECT_EQ(f.Caret(), 3u);
  f.Backspace();
  f.CaretEnd();
  f.Backspace();
  EXPECT_EQ(f.Text(), "An");
  // ":" separates the fields of the line the game stores; the field refuses it and says which sign.
  EXPECT_FALSE(f.Insert(':'));
  EXPECT_EQ(f.Text(), "An");
  EXPECT_NE(f.Problem().find("\":\""), std::string::npos) << f.Problem();
  // A letter the games' font cannot draw (without a font: anything beyond ASCII) is refused by name and number.
  EXPECT_FALSE(f.Insert(0x00E9));
  EXPECT_NE(f.Problem().find("\"\xC3\xA9\" (U+00E9)"), std::string::npos) << f.Problem();
  EXPECT_EQ(f.Text(), "An");
  // Nothing that is no character, and no control character, gets in.
  EXPECT_FALSE(f.Insert(0xD800));
  EXPECT_FALSE(f.Insert(0x110000));
  EXPECT_FALSE(f.Insert(0x07));
  EXPECT_EQ(f.Text(), "An");
  // The field stops at the longest name the games keep.
  f.SetText(std::string(62, 'a'));
  EXPECT_TRUE(f.Insert('b'));
  EXPECT_FALSE(f.Insert('c'));
  EXPECT_EQ(f.Text().size(), 63u);
  // A two-byte character goes with one Backspace, and the caret never stands inside one.
  f.SetText("A\xC3\xA9" "b");
  f.CaretLeft();
  f.CaretLeft();
  EXPECT_EQ(f.Caret(), 1u);
  f.CaretRight();
  EXPECT_EQ(f.Caret(), 3u);
  f.Backspace();
  EXPECT_EQ(f.Text(), "Ab");
}

}  // namespace
