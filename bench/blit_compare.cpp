// The game's colour-keyed 16-bit blit against SDL's keyed blit and SDL's RLE-accelerated keyed blit, on the
// game's own art, in one process: the bull's frames onto the screen, the buttons at their places, and the whole
// background. Prints "measure|value" lines for bench/table.sh (a ratio of time per blit) and a readable summary on
// standard error.
//   zorvel_blit_compare <game folder> [case]   (case: bull, buttons or full; all when not given)
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/video/surface.h"
#include "zk/bmp_loader.h"

using platform::Rect;
using platform::Surface;

namespace {

constexpr uint16_t kBlue = 0x001F;

struct Placed {
  Surface* image;
  Rect source;  // part of the image
  int x, y;     // where it goes
};

struct SdlPlaced {
  SDL_Surface* image;
  SDL_Rect source;
  int x, y;
};

Surface* Load(const std::string& dir, const char* name) {
  Surface* s = zk::LoadBmpFile(dir + "/" + name, platform::PixelLayout::Rgb565);
  if (!s) {
    std::fprintf(stderr, "cannot load %s/%s\n", dir.c_str(), name);
    std::exit(2);
  }
  platform::ColorKey key{kBlue, kBlue};
  s->SetColorKey(platform::DDCKEY_SRCBLT, &key);
  return s;
}

// Cuts a picture into frames of its own, as the game does, so each frame is a surface of its own.
std::vector<Surface*> Cut(Surface* sheet, int fw, int fh) {
  std::vector<Surface*> frames;
  for (int y = 0; y + fh <= sheet->height(); y += fh) {
    for (int x = 0; x + fw <= sheet->width(); x += fw) {
      Surface* f = Surface::Create(fw, fh);
      Rect r{x, y, x + fw, y + fh};
      f->Blt(nullptr, sheet, &r, platform::DDBLT_WAIT, nullptr);
      platform::ColorKey key{kBlue, kBlue};
      f->SetColorKey(platform::DDCKEY_SRCBLT, &key);
      frames.push_back(f);
    }
  }
  return frames;
}

SDL_Surface* ToSdl(Surface* s, bool rle) {
  SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, s->width(), s->height(), 16, SDL_PIXELFORMAT_RGB565);
  for (int y = 0; y < s->height(); ++y)
    std::copy_n(s->Row16(y), s->width(), reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(out->pixels) + y * out->pitch));
  SDL_SetColorKey(out, SDL_TRUE, kBlue);
  if (rle) SDL_SetSurfaceRLE(out, 1);
  return out;
}

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Times the three ways in alternation, batch after batch, so that a machine whose load changes during the run
// slows all three alike; the ratios are taken batch by batch and their median reported.
struct Timings {
  double ours, sdlKeyed, sdlRle;  // nanoseconds per pass, medians
  double keyedRatio, rleRatio;    // medians of SDL keyed / ours and ours / SDL RLE
};

template <typename A, typename B, typename C>
Timings TimeAlternating(A&& ours, B&& keyed, C&& rle) {
  for (int i = 0; i < 20; ++i) ours(), keyed(), rle();  // warm caches and any lazily built tables
  int batch = 1;
  for (;;) {
    const auto t0 = Clock::now();
    for (int i = 0; i < batch; ++i) ours();
    if (Clock::now() - t0 > std::chrono::milliseconds(5)) break;
    batch *= 2;
  }
  auto time = [batch](auto&& pass) {
    const auto t0 = Clock::now();
    for (int i = 0; i < batch; ++i) pass();
    return std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / batch;
  };
  std::vector<double> o, k, r, kr, rr;
  for (int rep = 0; rep < 31; ++rep) {
    o.push_back(time(ours));
    k.push_back(time(keyed));
    r.push_back(time(rle));
    kr.push_back(k.back() / o.back());
    rr.push_back(o.back() / r.back());
  }
  return {Median(o), Median(k), Median(r), Median(kr), Median(rr)};
}

void Compare(const char* label, const std::vector<Placed>& cases) {
  Surface* screen = Surface::Create(800, 600);
  SDL_Surface* sdlScreen = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, 16, SDL_PIXELFORMAT_RGB565);
  std::vector<SdlPlaced> keyed, rle;
  for (const Placed& p : cases) {
    const SDL_Rect r{p.source.left, p.source.top, p.source.Width(), p.source.Height()};
    keyed.push_back({ToSdl(p.image, false), r, p.x, p.y});
    rle.push_back({ToSdl(p.image, true), r, p.x, p.y});
  }
  auto oursPass = [&] {
    for (const Placed& p : cases) {
      // Touch the screen first: the game's blit skips a copy that would change nothing, and here every copy
      // must really be made.
      platform::SurfaceDesc desc;
      screen->Lock(nullptr, &desc, platform::DDLOCK_WAIT);
      screen->Unlock(nullptr);
      Rect to{p.x, p.y, p.x + p.source.Width(), p.y + p.source.Height()};
      screen->Blt(&to, p.image, &p.source, platform::DDBLT_KEYSRC | platform::DDBLT_WAIT, nullptr);
    }
  };
  auto sdlPass = [&](std::vector<SdlPlaced>& list) {
    return [&list, sdlScreen] {
      for (SdlPlaced& p : list) {
        SDL_Rect to{p.x, p.y, p.source.w, p.source.h};
        SDL_BlitSurface(p.image, &p.source, sdlScreen, &to);
      }
    };
  };
  const Timings t = TimeAlternating(oursPass, sdlPass(keyed), sdlPass(rle));
  // The comparison is only fair if all three did the same work: the last pass of each leaves the same picture (SDL's
  // two passes share one screen, so the RLE pass, the last, must have left what the keyed one did).
  const Surface* const ours = screen;
  for (int y = 0; y < 600; ++y) {
    const auto* sdlRow = reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(sdlScreen->pixels) +
                                                           static_cast<size_t>(y) * sdlScreen->pitch);
    for (int x = 0; x < 800; ++x) {
      if (ours->Row16(y)[x] != sdlRow[x]) {
        std::fprintf(stderr, "%s: the game's blit and SDL's leave different pictures (first at %d,%d)\n", label, x,
                     y);
        std::exit(1);
      }
    }
  }
  std::fprintf(stderr, "%-12s ours %9.0f ns, SDL keyed %9.0f ns, SDL RLE %9.0f ns per pass of %zu blits\n", label,
               t.ours, t.sdlKeyed, t.sdlRle, cases.size());
  std::printf("keyed blit vs SDL keyed blit, %s (times faster)|%.2f\n", label, t.keyedRatio);
  std::printf("keyed blit vs SDL RLE keyed blit, %s (time ratio, <= 1 is no slower)|%.2f\n", label, t.rleRatio);
  for (auto* list : {&keyed, &rle})
    for (SdlPlaced& p : *list) SDL_FreeSurface(p.image);
  SDL_FreeSurface(sdlScreen);
  screen->Release();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s <game folder> [bull|buttons|full]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];

  Surface* bullSheet = Load(dir, "bullanim.bmp");
  std::vector<Surface*> bull = Cut(bullSheet, 415, 251);
  std::vector<Placed> bullCases;
  for (Surface* f : bull) bullCases.push_back({f, Rect{0, 0, f->width(), f->height()}, 164, 14});

  struct Button {
    const char* file;
    int x, y;
  };
  const Button buttons[] = {{"newgame.bmp", 10, 520}, {"info.bmp", 104, 520},     {"back.bmp", 610, 520},
                            {"exit.bmp", 704, 520},   {"truepie.bmp", 212, 479}, {"falsepie.bmp", 476, 479},
                            {"passpie.bmp", 350, 479}};
  std::vector<Surface*> buttonFrames;
  std::vector<Placed> buttonCases;
  for (const Button& b : buttons) {
    Surface* strip = Load(dir, b.file);
    for (Surface* f : Cut(strip, strip->width() / 2, strip->height())) {
      buttonFrames.push_back(f);
      buttonCases.push_back({f, Rect{0, 0, f->width(), f->height()}, b.x, b.y});
    }
    strip->Release();
  }

  Surface* background = Load(dir, "background.bmp");
  std::vector<Placed> fullCases{{background, Rect{0, 0, 800, 600}, 0, 0}};

  const std::string only = argc == 3 ? argv[2] : "";
  if (only.empty() || only == "bull") Compare("bull frames", bullCases);
  if (only.empty() || only == "buttons") Compare("buttons", buttonCases);
  if (only.empty() || only == "full") Compare("full screen", fullCases);

  for (Surface* s : bull) s->Release();
  for (Surface* s : buttonFrames) s->Release();
  bullSheet->Release();
  background->Release();
  return 0;
}
