// The game's colour-keyed 16-bit blit against SDL's keyed blit and SDL's RLE-accelerated keyed blit, on the
// game's own art, in one process: the bull's frames onto the screen, the buttons at their places, and the whole
// background. Prints "measure|value" lines for bench/table.sh (a ratio of time per blit) and a readable summary on
// standard error.
//   zorvel_blit_compare <game folder>
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/surface.h"
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

// Nanoseconds per pass over the whole case: the median of several timed batches.
template <typename F>
double TimePerPass(F&& pass) {
  for (int i = 0; i < 20; ++i) pass();  // warm caches and any lazily built tables
  int batch = 1;
  for (;;) {
    const auto t0 = Clock::now();
    for (int i = 0; i < batch; ++i) pass();
    if (Clock::now() - t0 > std::chrono::milliseconds(20)) break;
    batch *= 2;
  }
  std::vector<double> samples;
  for (int rep = 0; rep < 9; ++rep) {
    const auto t0 = Clock::now();
    for (int i = 0; i < batch; ++i) pass();
    samples.push_back(std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / batch);
  }
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
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
  const double ours = TimePerPass([&] {
    for (const Placed& p : cases) {
      // Touch the screen first: the game's blit skips a copy that would change nothing, and here every copy
      // must really be made.
      platform::SurfaceDesc desc;
      screen->Lock(nullptr, &desc, platform::DDLOCK_WAIT);
      screen->Unlock(nullptr);
      Rect to{p.x, p.y, p.x + p.source.Width(), p.y + p.source.Height()};
      screen->Blt(&to, p.image, &p.source, platform::DDBLT_KEYSRC | platform::DDBLT_WAIT, nullptr);
    }
  });
  auto sdlPass = [&](std::vector<SdlPlaced>& list) {
    return TimePerPass([&] {
      for (SdlPlaced& p : list) {
        SDL_Rect to{p.x, p.y, p.source.w, p.source.h};
        SDL_BlitSurface(p.image, &p.source, sdlScreen, &to);
      }
    });
  };
  const double sdlKeyed = sdlPass(keyed);
  const double sdlRle = sdlPass(rle);
  std::fprintf(stderr, "%-12s ours %9.0f ns, SDL keyed %9.0f ns, SDL RLE %9.0f ns per pass of %zu blits\n", label,
               ours, sdlKeyed, sdlRle, cases.size());
  std::printf("keyed blit vs SDL keyed blit, %s (times faster)|%.2f\n", label, sdlKeyed / ours);
  std::printf("keyed blit vs SDL RLE keyed blit, %s (time ratio, <= 1 is no slower)|%.2f\n", label, ours / sdlRle);
  for (auto* list : {&keyed, &rle})
    for (SdlPlaced& p : *list) SDL_FreeSurface(p.image);
  SDL_FreeSurface(sdlScreen);
  screen->Release();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <game folder>\n", argv[0]);
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

  Compare("bull frames", bullCases);
  Compare("buttons", buttonCases);
  Compare("full screen", fullCases);

  for (Surface* s : bull) s->Release();
  for (Surface* s : buttonFrames) s->Release();
  bullSheet->Release();
  background->Release();
  return 0;
}
