#include "launcher/launcher_window.h"

#include "common/ticker.h"
#include "launcher/fame_rows.h"
#include "launcher/launcher_view.h"
#include "platform/backend/backend.h"
#include "platform/music/mci.h"
#include "platform/replay/trace.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"
#include "sound/sound_table.h"
#include "zk/zk.h"

namespace hubbix {

namespace {

constexpr const char* kWindowClass = "Hubbix Class";
constexpr const char* kTitle = "Hubbix";
constexpr const char* kClick = "click";

// Every message is handled by the loop that owns the pages; the procedure only answers what windows must.
intptr_t LauncherProc(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (message == platform::WM_CLOSE) return 0;  // the loop sees the posted close and quits through the pages
  return platform::DefWindowProc(window, message, wParam, lParam);
}

void StartMusic(platform::Window* window) {
  platform::MciSendString("open .\\sounds\\music.mp3 alias music", nullptr);
  platform::MciSendString("play music notify", window);
}

void StopMusic() { platform::MciSendString("close music", nullptr); }

// Tells the backend where the name field stands and whether it has the focus, when that changed: a phone's
// keyboard is called up over it by a tap there, and put away when the focus leaves it.
class TextInputArea {
 public:
  ~TextInputArea() { Show(false, {0, 0, 0, 0}); }
  void Follow(const LauncherPages& pages) {
    const bool shown = pages.CurrentPage() == Page::Players;
    Show(shown && pages.Focus() == Control::NameField, shown ? layout::kNameField : layout::Box{0, 0, 0, 0});
  }

 private:
  void Show(bool active, const layout::Box& box) {
    if (told_ && active == active_ && box.x == box_.x && box.y == box_.y && box.w == box_.w && box.h == box_.h)
      return;
    told_ = true;
    active_ = active;
    box_ = box;
    platform::backend::SetTextInputArea(active, box.x, box.y, box.w, box.h);
  }
  bool told_ = false, active_ = false;
  layout::Box box_{0, 0, 0, 0};
};

class Session {
 public:
  Session(LauncherStore& store, const LauncherStart& start, platform::Window* window)
      : window_(window),
        store_(store),
        records_(start.hallOfFame, start.gameFolder),
        pages_(store, start.fame, start.fameHighlight,
               LauncherEvents{[](const std::string& line) { platform::TraceLine(line); },
                              [this] { Click(); }, [this](bool on) { Music(on); },
                              [](bool on) { platform::backend::FollowDisplaySetting(on); }}) {
    sounds_.Init(window, 16);
    sounds_.LoadSound("sounds\\select2.wav", kClick);
    sounds_.EnableSFX(store.Options().SoundEffects() ? 1 : 0);
    pages_.UseRecords(&records_);
    pages_.OpenPage(start.firstPage);
  }
  ~Session() {
    StopMusic();
    sounds_.Shutdown();
  }

  LauncherPages& Pages() { return pages_; }
  // True when another program changed the options, which the pages then show.
  bool TakeOutsideChanges() {
    if (!store_.ReloadIfChanged()) return false;
    pages_.OptionsChangedOutside();
    return true;
  }
  // Opening the music decodes ahead; the first picture is shown before that wait.
  void StartMusicIfWanted() {
    if (store_.Options().Music()) StartMusic(window_);
  }

  // One message from the queue; false when the launcher must end without a choice (the window went away).
  bool Handle(const platform::Message& m) {
    using namespace platform;
    const int x = static_cast<int>(LowWord(static_cast<uintptr_t>(m.lParam)));
    const int y = static_cast<int>(HighWord(static_cast<uintptr_t>(m.lParam)));
    switch (m.message) {
      case WM_KEYDOWN:
        pages_.KeyDown(static_cast<int>(m.wParam), GetAsyncKeyState(VK_SHIFT) < 0);
        break;
      case WM_CHAR: pages_.Character(static_cast<uint32_t>(m.wParam)); break;
      case WM_MOUSEMOVE: pages_.MouseMove(x, y); break;
      case WM_LBUTTONDOWN:
        pages_.MouseMove(x, y);
        pages_.MouseDown(x, y);
        break;
      case WM_LBUTTONUP: pages_.MouseUp(x, y); break;
      case WM_CLOSE: closed_ = true; break;
      case MM_MCINOTIFY:
        // The music loops: each end reopens and replays it, as the game does.
        StopMusic();
        StartMusic(window_);
        break;
      default: break;
    }
    DispatchMessage(&m);
    return !closed_;
  }

 private:
  void Click() {
    sounds_.EnableSFX(store_.Options().SoundEffects() ? 1 : 0);
    sounds_.PlaySound(kClick, 0xFFFF, 0);
  }
  void Music(bool on) {
    if (on) StartMusic(window_);
    else StopMusic();
  }

  platform::Window* window_;
  LauncherStore& store_;
  SoundTable sounds_;
  PlayerRecords records_;
  LauncherPages pages_;
  bool closed_ = false;
};

}  // namespace

LauncherStart StartFromFiles(const std::string& gameFolder, const platform::WritableFiles& files, bool afterGame) {
  LauncherStart start;
  start.gameFolder = gameFolder;
  start.hallOfFame = files.hiscore;
  start.fame = ReadFameRows(files.hiscore, files.lastResult, &start.fameHighlight);
  if (afterGame) start.firstPage = Page::HallOfFame;
  if (start.fameHighlight >= 0) platform::TraceLine("launcher highlight " + std::to_string(start.fameHighlight + 1));
  return start;
}

Command RunLauncherWindow(LauncherStore& store, const LauncherStart& start, std::string* error) {
  using namespace platform;
  if (!backend::HasDisplay()) {
    if (error) *error = "There is no display to open the launcher's window on.";
    return Command::None;
  }
  RegisterWindowClass(kWindowClass, LauncherProc);
  const bool fullScreen = store.FullScreen();
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - 400, y = GetSystemMetrics(SM_CYSCREEN) / 2 - 300;
  Window* window = fullScreen ? CreateWindow(kWindowClass, kTitle, WindowKind::FullScreen, 0, 0,
                                             GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN))
                              : CreateWindow(kWindowClass, kTitle, WindowKind::Captioned, x, y, 800, 600);
  if (!window) {
    if (error) *error = "Cannot open a window.";
    return Command::None;
  }
  ShowWindow(window);
  const int ok = fullScreen ? ZKInitDirectX(window, 800, 600, 16) : ZKInitDirectX(window, 800, 600);
  Surface* front = nullptr;
  Surface* back = nullptr;
  if (ok) ZKGetDDInfo(&front, &back);
  LauncherView view;
  std::string missing;
  if (!back || !view.Load(start.gameFolder, &missing)) {
    if (error) *error = back ? "Cannot read " + missing + ". Build the suite again." : "Cannot draw in the window.";
    ZKFreeDirectX();
    DestroyWindow(window);
    return Command::None;
  }
  StartTicker();
  Command command = Command::None;
  {
    Session session(store, start, window);
    TextInputArea textInput;
    int32_t next = 0;
    int frames = 0;
    bool changed = true;
    while (command == Command::None) {
      Message m;
      bool open = true;
      while (open && PeekMessage(&m, true)) {
        if (m.message == WM_QUIT) open = false;
        else open = session.Handle(m);
        changed = true;
      }
      if (!open) {
        command = Command::Quit;
        TraceLine("launcher closed");
        break;
      }
      textInput.Follow(session.Pages());
      WaitForTickCount(next);
      ZKFramePaced();
      next = tickCounter.load() + 10;
      // The pages change only with a message or with the options changed outside: drawing the same picture 100
      // times a second kept a browser's page busy for nothing. Twice a second it is drawn all the same.
      if (changed || frames % 50 == 0) view.Draw(session.Pages(), back);
      changed = false;
      ZKFlip();
      if (frames++ == 0) session.StartMusicIfWanted();
      // Twice a second, take in what another program changed in the options meanwhile.
      if (frames % 50 == 0 && session.TakeOutsideChanges()) changed = true;
      command = session.Pages().TakeCommand();
    }
  }
  StopTicker();
  ZKFreeDirectX();
  DestroyWindow(window);
  UnregisterAllWindowClasses();
  return command;
}

}  // namespace hubbix
