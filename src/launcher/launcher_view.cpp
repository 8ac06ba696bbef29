#include "launcher/launcher_view.h"

#include <algorithm>

#include "common/summary_layout.h"
#include "game/statement_review.h"
#include "gfx/surface_utils.h"
#include "zk/zk.h"

namespace hubbix {

namespace lay = layout;

namespace {

constexpr const char* kArt[] = {"play", "players", "settings", "halloffame", "quit", "add", "select", "rename",
                                "remove", "yes", "no", "on", "off", "window", "fullscreen", "stats",
                                "lastgame", "back"};

}  // namespace

LauncherView::~LauncherView() {
  if (background_) background_->Release();
  if (reviewCard_) reviewCard_->Release();
  for (auto& [name, surface] : art_) surface->Release();
}

bool LauncherView::Load(const std::string& gameFolder, std::string* missing) {
  const std::string dir = gameFolder + "/hubbix/";
  background_ = ZKLoadBitmap((dir + "background.bmp").c_str(), 16);
  if (!background_) {
    if (missing) *missing = dir + "background.bmp";
    return false;
  }
  for (const char* name : kArt) {
    platform::Surface* s = ZKLoadBitmap((dir + name + ".bmp").c_str(), 16);
    if (!s) {
      if (missing) *missing = dir + name + ".bmp";
      return false;
    }
    SetColorKeyRGB(s, 0, 0, 255);
    art_[name] = s;
  }
  // The review of a player's last game is the game's own card.
  reviewCard_ = ZKLoadBitmap((gameFolder + "/review.bmp").c_str(), 16);
  if (!reviewCard_) {
    if (missing) *missing = gameFolder + "/review.bmp";
    return false;
  }
  SetColorKeyRGB(reviewCard_, 0, 0, 255);
  if (!font_.Load((gameFolder + "/font.bmp").c_str())) {
    if (missing) *missing = gameFolder + "/font.bmp";
    return false;
  }
  return true;
}

void LauncherView::Fill(platform::Surface* target, int32_t x, int32_t y, int32_t w, int32_t h, int r, int g,
                        int b) const {
  platform::Rect rect{x, y, x + w, y + h};
  platform::BltFx fx;
  fx.dwFillColor = RGBToPixel(target, r, g, b);
  target->Blt(&rect, nullptr, nullptr, platform::DDBLT_COLORFILL | platform::DDBLT_WAIT, &fx);
}

void LauncherView::Frame(platform::Surface* target, const lay::Box& box, int t, int r, int g, int b) const {
  Fill(target, box.x - t, box.y - t, box.w + 2 * t, t, r, g, b);
  Fill(target, box.x - t, box.y + box.h, box.w + 2 * t, t, r, g, b);
  Fill(target, box.x - t, box.y, t, box.h, r, g, b);
  Fill(target, box.x + box.w, box.y, t, box.h, r, g, b);
}

void LauncherView::Text(platform::Surface* target, const std::string& text, int32_t x, int32_t y,
                        int32_t limit) const {
  // Names and messages may hold letters beyond ASCII.
  font_.DrawTextUtf8(target, text, x, y, 0, limit);
}

void LauncherView::DrawButton(const LauncherPages& pages, Control c, const char* art,
                              platform::Surface* target) const {
  const auto found = art_.find(art);
  if (found == art_.end()) return;
  const lay::Box box = LauncherPages::Place(c);
  int frame = lay::kFrameNormal;
  const bool chosen = (c == Control::Players && pages.CurrentPage() == Page::Players) ||
                      (c == Control::Settings && pages.CurrentPage() == Page::Settings) ||
                      (c == Control::HallOfFame && pages.CurrentPage() == Page::HallOfFame);
  if (!pages.Enabled(c)) frame = lay::kFrameDisabled;
  else if (pages.Focus() == c || pages.Hover() == c || pages.Pressed() == c) frame = lay::kFrameLit;
  else if (chosen) frame = lay::kFrameChosen;
  BltClippedRect(found->second, frame * box.w, 0, box.w, box.h, target, box.x, box.y, kTransparentBlit);
  // The focus ring: keyboard and controller players must see where Return will go.
  if (pages.Focus() == c) Frame(target, box, 2, 255, 248, 232);
}

void LauncherView::Draw(const LauncherPages& pages, platform::Surface* target) const {
  if (pages.CurrentPage() == Page::Review) {
    DrawReview(pages, target);
    return;
  }
  BltClipped(background_, target, 0, 0, 0);
  DrawButton(pages, Control::Play, "play", target);
  DrawButton(pages, Control::Players, "players", target);
  DrawButton(pages, Control::Settings, "settings", target);
  DrawButton(pages, Control::HallOfFame, "halloffame", target);
  DrawButton(pages, Control::Quit, "quit", target);
  // Who plays next, under the Play button.
  const SuiteOptions& o = pages.Options();
  // The game's font is set on the panel's cream, so its label gets a strip of that cream.
  const std::string who = "as " + o.PlayerName(o.CurrentPlayer());
  const int32_t whoW = std::min(lay::kPlay.w, font_.TextWidthUtf8(who) + 16);
  Fill(target, lay::kPlay.x + (lay::kPlay.w - whoW) / 2, lay::kPlay.y + lay::kPlay.h + 2, whoW,
       font_.Height() + 4, 250, 244, 226);
  Text(target, who, lay::kPlay.x + (lay::kPlay.w - whoW) / 2 + 8, lay::kPlay.y + lay::kPlay.h + 4,
       lay::kPlay.x + lay::kPlay.w - 8);
  switch (pages.CurrentPage()) {
    case Page::Players: DrawPlayers(pages, target); break;
    case Page::Settings: DrawSettings(pages, target); break;
    case Page::HallOfFame: DrawFame(pages, target); break;
    case Page::Stats: DrawStats(pages, target); break;
    case Page::Review: break;
  }
  // Up to two lines above the page's buttons; the record's page has its chart there, and one line under its title.
  if (pages.CurrentPage() == Page::Stats) DrawMessage(pages, lay::kPanelTitleY + font_.Height() + 6, 1, target);
  else DrawMessage(pages, lay::kSelect.y - 12 - 2 * (font_.Height() + 4), 2, target);
}

void LauncherView::DrawMessage(const LauncherPages& pages, int32_t y, int lines, platform::Surface* target) const {
  if (pages.Message().empty()) return;
  // Broken between words.
  const int32_t right = lay::kPanel.x + lay::kPanel.w - 16;
  std::string texts[2];
  lines = std::min(lines, 2);
  int line = 0;
  size_t at = 0;
  const std::string& text = pages.Message();
  while (at < text.size() && line < lines) {
    size_t end = text.find(' ', at);
    if (end == std::string::npos) end = text.size();
    const std::string word = text.substr(at, end - at);
    const std::string joined = texts[line].empty() ? word : texts[line] + " " + word;
    if (!texts[line].empty() && lay::kPanelTextX + font_.TextWidthUtf8(joined) >= right) {
      ++line;
      continue;
    }
    texts[line] = joined;
    at = end + 1;
  }
  const int32_t lineH = font_.Height() + 4;
  if (pages.MessageIsProblem()) Fill(target, lay::kPanel.x + 8, y - 2, 6, lines * lineH, 200, 50, 44);
  for (int i = 0; i < lines; ++i) Text(target, texts[i], lay::kPanelTextX, y + i * lineH, right);
}

void LauncherView::DrawPlayers(const LauncherPages& pages, platform::Surface* target) const {
  Text(target, pages.Renaming() ? "Players: type the new name" : "Players: type a name and press Add",
       lay::kPanelTextX, lay::kPanelTitleY);
  // The name field: white, with the caret after the character it stands behind.
  const lay::Box f = lay::kNameField;
  const bool focused = pages.Focus() == Control::NameField;
  Fill(target, f.x, f.y, f.w, f.h, 255, 255, 255);
  Frame(target, f, focused ? 3 : 1, focused ? 232 : 120, focused ? 184 : 78, focused ? 72 : 44);
  const NameField& field = pages.Field();
  const int32_t textY = f.y + (f.h - font_.Height()) / 2;
  Text(target, field.Text(), f.x + 8, textY, f.x + f.w - 8);
  if (focused) {
    const int32_t caretX = f.x + 8 + font_.TextWidthUtf8(field.Text().substr(0, field.Caret()));
    Fill(target, std::min(caretX, f.x + f.w - 6), f.y + 6, 2, f.h - 12, 44, 34, 28);
  }
  DrawButton(pages, Control::Add, "add", target);
  if (const std::string why = pages.AddRefusal(); !why.empty())
    Text(target, why, lay::kPanelTextX, f.y + f.h + 6, lay::kPanel.x + lay::kPanel.w - 16);

  const SuiteOptions& o = pages.Options();
  const auto players = o.Players();
  const lay::Box roster = LauncherPages::Place(Control::Roster);
  for (size_t n = 0; n < players.size(); ++n) {
    const PlayerEntry& p = players[n];
    const lay::Box row = lay::RosterRow(static_cast<int32_t>(n));
    // Marks go around a row, never under it: the font's letters stand on the panel's own cream.
    const lay::Box rowBox{row.x + 2, row.y + 2, row.w - 4, row.h - 4};
    if (p.index == pages.ConfirmingIndex()) Frame(target, rowBox, 2, 200, 50, 44);
    else if (p.index == pages.RosterCursor()) Frame(target, rowBox, 2, 232, 184, 72);
    const int32_t nameY = row.y + 5, nextY = nameY + font_.Height() + 2;
    if (p.index == o.CurrentPlayer()) {
      Fill(target, row.x - 7, row.y + 4, 6, row.h - 8, 46, 150, 70);
      Text(target, "plays next", row.x + 40, nextY, row.x + row.w - 8);
    }
    Text(target, std::to_string(p.index + 1) + ".", row.x + 8, nameY);
    Text(target, p.name, row.x + 40, nameY, row.x + row.w - 8);
  }
  if (pages.Focus() == Control::Roster) {
    lay::Box used = roster;
    used.h = static_cast<int32_t>(std::min<size_t>(players.size(), lay::kRosterRowsPerColumn)) * lay::kRowH;
    Frame(target, used, 1, 44, 34, 28);
  }
  if (pages.Confirming()) {
    DrawButton(pages, Control::Yes, "yes", target);
    DrawButton(pages, Control::No, "no", target);
  } else {
    DrawButton(pages, Control::Select, "select", target);
    DrawButton(pages, Control::Rename, "rename", target);
    DrawButton(pages, Control::Remove, "remove", target);
    DrawButton(pages, Control::Stats, "stats", target);
  }
}

void LauncherView::DrawSettings(const LauncherPages& pages, platform::Surface* target) const {
  Text(target, "Settings: changed at once, for the next game too", lay::kPanelTextX, lay::kPanelTitleY);
  const SuiteOptions& o = pages.Options();
  struct Row {
    Control control;
    const char* label;
    const char* art;
  };
  const Row rows[] = {{Control::Music, "Music", o.Music() ? "on" : "off"},
                      {Control::Effects, "Sound effects", o.SoundEffects() ? "on" : "off"},
                      {Control::Display, "Display", pages.FullScreen() ? "fullscreen" : "window"}};
  for (const Row& r : rows) {
    const lay::Box box = LauncherPages::Place(r.control);
    Text(target, r.label, lay::kPanelTextX, box.y + (box.h - font_.Height()) / 2);
    DrawButton(pages, r.control, r.art, target);
  }
  Text(target, "Alt+Enter switches them at any time.", lay::kPanelTextX,
       lay::kSettingY + 3 * lay::kSettingGap + 10, lay::kPanel.x + lay::kPanel.w - 16);
}

void LauncherView::DrawFame(const LauncherPages& pages, platform::Surface* target) const {
  Text(target, "Zorvel's hall of fame", lay::kPanelTextX, lay::kPanelTitleY);
  const int32_t right = lay::kPanel.x + lay::kPanel.w - 28;
  for (const FameRow& row : pages.Fame()) {
    const int32_t y = lay::kFameY + (row.rank - 1) * lay::kFameRowH;
    if (row.rank - 1 == pages.FameHighlight()) {
      Frame(target, {lay::kPanel.x + 14, y - 2, lay::kPanel.w - 28, lay::kFameRowH}, 2, 232, 184, 72);
      Fill(target, lay::kPanel.x + 6, y, 6, lay::kFameRowH - 4, 46, 150, 70);
    }
    const std::string rank = std::to_string(row.rank) + ".";
    font_.DrawText(target, rank.c_str(), lay::kPanelTextX + 30, y, 1, -1);
    Text(target, row.name, lay::kPanelTextX + 44, y, right - 110);
    if (!row.name.empty() || row.score != 0)
      font_.DrawText(target, std::to_string(row.score).c_str(), right, y, 1, -1);
  }
}

void LauncherView::DrawStats(const LauncherPages& pages, platform::Surface* target) const {
  const PlayerFigures& f = pages.Figures();
  const int32_t right = lay::kPanel.x + lay::kPanel.w - 16;
  const std::string games = f.games == 1 ? "1 game" : std::to_string(f.games) + " games";
  const std::string figures = f.games > 0 ? games + ", best " + std::to_string(f.best) + ", average " +
                                                std::to_string(f.average)
                                          : "no games yet";
  const std::string title = f.name + ": " + figures;
  if (lay::kPanelTextX + font_.TextWidthUtf8(title) < right - 8) {
    Text(target, title, lay::kPanelTextX, lay::kPanelTitleY);
  } else {
    // A long name gives way to the figures, which stand whole at the right.
    font_.DrawTextUtf8(target, figures, right, lay::kPanelTitleY, 1, -1);
    Text(target, f.name + ":", lay::kPanelTextX, lay::kPanelTitleY, right - font_.TextWidthUtf8(figures) - 16);
  }
  if (pages.Message().empty()) {
    std::string note;
    if (f.status != MemoryStatus::kRead && f.status != MemoryStatus::kMissing)
      note = std::string("Their record could not be read (") + MemoryStatusName(f.status) + "): it starts afresh.";
    else if (f.games == 0) note = "The record begins with the first game.";
    else if (f.topics.empty()) note = "No True or False answer yet: passes only.";
    else note = "Right answers by topic (passes not counted)";
    Text(target, note, lay::kPanelTextX, lay::kPanelTitleY + font_.Height() + 6, right);
  }
  // Two columns of twelve; what does not fit is counted in the last place.
  const size_t places = 2 * lay::kChartRows;
  const size_t shown = f.topics.size() <= places ? f.topics.size() : places - 1;
  for (size_t i = 0; i < shown; ++i) {
    const int32_t column = static_cast<int32_t>(i) / lay::kChartRows, row = static_cast<int32_t>(i) % lay::kChartRows;
    DrawTopicBar(f.topics[i], lay::kChartX + column * (lay::kChartColumnW + lay::kChartGap),
                 lay::kChartY + row * lay::kChartRowH, target);
  }
  if (shown < f.topics.size())
    Text(target, "and " + std::to_string(f.topics.size() - shown) + " more topics",
         lay::kChartX + lay::kChartColumnW + lay::kChartGap, lay::kChartY + (lay::kChartRows - 1) * lay::kChartRowH);
  DrawButton(pages, Control::LastGame, "lastgame", target);
  DrawButton(pages, Control::Back, "back", target);
}

void LauncherView::DrawTopicBar(const TopicBar& bar, int32_t x, int32_t y, platform::Surface* target) const {
  const std::string percent = std::to_string(bar.percent) + "%";
  const int32_t w = lay::kChartColumnW;
  Text(target, bar.label, x, y, x + w - font_.TextWidthUtf8(percent) - 6);
  font_.DrawText(target, percent.c_str(), x + w, y, 1, -1);
  // The track, then the share right in the colours of the page's marks: green, gold, red.
  const int32_t barY = y + font_.Height();
  Fill(target, x, barY, w, lay::kBarH, 226, 214, 190);
  const int32_t filled = w * bar.percent / 100;
  if (bar.percent >= 70) Fill(target, x, barY, filled, lay::kBarH, 46, 150, 70);
  else if (bar.percent >= 40) Fill(target, x, barY, filled, lay::kBarH, 232, 184, 72);
  else Fill(target, x, barY, filled, lay::kBarH, 200, 50, 44);
}

void LauncherView::DrawReview(const LauncherPages& pages, platform::Surface* target) const {
  using namespace summary_layout;
  const ReviewPager* pager = pages.Review();
  // The card alone on the backdrop's darkest green: the pages' boards would show round its edges.
  Fill(target, 0, 0, 800, 600, 16, 52, 57);
  BltClipped(reviewCard_, target, kReviewCard.x, kReviewCard.y, kTransparentBlit);
  if (pager) DrawReviewPage(target, font_, *pager, kReviewCard.x, kReviewCard.y);
  // The card's buttons are painted on it: the focus and the pointer get rings.
  for (Control c : {Control::ReviewPrevious, Control::ReviewNext, Control::ReviewClose}) {
    const lay::Box box = LauncherPages::Place(c);
    if (pages.Focus() == c) Frame(target, box, 3, 255, 248, 232);
    else if (pages.Hover() == c || pages.Pressed() == c) Frame(target, box, 2, 232, 184, 72);
  }
}

}  // namespace hubbix
