#include "ui/screen.h"

#include <gtest/gtest.h>

#include <fstream>

#include "gfx/refresh_manager.h"
#include "ui/ui_test_support.h"

using platform::Surface;
using namespace test_support;

namespace {

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

}  // namespace

TEST(Screen, LayoutFileStopsAtTheFirstGapAndKeepsDuplicates) {
  const std::string dir = FreshDir();
  WriteSolidBmp(dir + "/sky.bmp", 30, 20, {10, 20, 30});
  WriteSolidBmp(dir + "/sun.bmp", 8, 6, {250, 200, 0});
  const std::string layout = dir + "/layout.ini";
  WriteText(layout,
            "[images]\r\n"
            "image01=sky\r\n"
            "image02=sun\r\n"
            "image03=sky\r\n"
            "image05=ghost\r\n"
            "[sky]\r\n"
            "x=12abc\r\n"
            "file=none\r\n"
            "[sun]\r\n"
            "file=" + dir + "/sun.bmp\r\n"
            "y=  -7\r\n"
            "[ghost]\r\n"
            "x=1\r\n");
  const int liveBefore = Surface::LiveCount();
  {
    Screen screen;
    // The default bitmap is the section name + ".bmp", looked up from the working folder.
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    screen.LoadLayout(layout.c_str());
    std::filesystem::current_path(cwd);

    ASSERT_EQ(3, screen.PictureCount()) << "image04 is missing, so image05 is never read";
    Picture* sky = screen.GetPicture(0);
    EXPECT_STREQ("sky", sky->GetName()) << "pictures are named after their sections";
    ASSERT_NE(nullptr, sky->GetSurface()) << "file=none loads sky.bmp";
    EXPECT_EQ(30, sky->GetWidth());
    EXPECT_EQ(12, sky->GetX()) << "12abc reads as 12";
    EXPECT_EQ(0, sky->GetY()) << "a missing y reads as 0";
    Picture* sun = screen.GetPicture(1);
    EXPECT_STREQ("sun", sun->GetName());
    EXPECT_EQ(8, sun->GetWidth());
    EXPECT_EQ(0, sun->GetX());
    EXPECT_EQ(-7, sun->GetY());
    EXPECT_NE(sky, screen.GetPicture(2)) << "a section named twice gives two pictures";
    EXPECT_STREQ("sky", screen.GetPicture(2)->GetName());
    EXPECT_EQ(sky, screen.FindPicture("sky")) << "the first one is found";
    EXPECT_EQ(nullptr, screen.FindPicture("Sky"));
    EXPECT_EQ(liveBefore + 3, Surface::LiveCount());
  }
  EXPECT_EQ(liveBefore, Surface::LiveCount()) << "the screen released its pictures";
}

TEST(Screen, LayoutKeysCountPastNineAndMissingBitmapsAreKept) {
  const std::string dir = FreshDir();
  std::string text = "[images]\n";
  for (int i = 1; i <= 12; ++i) {
    char line[64];
    std::snprintf(line, sizeof line, "image%02d=p%d\n", i, i);
    text += line;
  }
  text += "[p11]\nfile=" + dir + "/absent.bmp\nx=4\ny=5\n";
  WriteText(dir + "/twelve.ini", text);
  WriteText(dir + "/none.ini", "[images]\nimage01=none\nimage02=p1\n");

  Screen screen;
  screen.LoadLayout((dir + "/none.ini").c_str());
  EXPECT_EQ(0, screen.PictureCount()) << "a first value of none loads nothing";
  screen.LoadLayout((dir + "/missing.ini").c_str());
  EXPECT_EQ(0, screen.PictureCount());
  screen.LoadLayout((dir + "/twelve.ini").c_str());
  ASSERT_EQ(12, screen.PictureCount()) << "image10 follows image09";
  Picture* p11 = screen.FindPicture("p11");
  ASSERT_NE(nullptr, p11) << "a picture whose bitmap is missing is kept and found by name";
  EXPECT_EQ(nullptr, p11->GetSurface());
  EXPECT_EQ(4, p11->GetX());
  EXPECT_EQ(5, p11->GetY());
  Surface* dest = FilledSurface(10, 10, 0);
  EXPECT_EQ(1, screen.DrawPicture(dest, "p11")) << "found, draws nothing";
  EXPECT_EQ(0, screen.DrawPicture(dest, "p13"));
  EXPECT_EQ(0, screen.DrawPictureAt(dest, "p13", 0, 0));
  dest->Release();
}

TEST(Screen, PicturesWidgetsAndActivationCycles) {
  const std::string dir = FreshDir();
  const std::string dot = dir + "/dot.bmp";
  WriteBmp(dot, 4, 4, [](int x, int) { return x == 0 ? kBlue : Rgb{255, 0, 0}; });
  const int liveBefore = Surface::LiveCount();
  Screen screen;
  screen.SetName("Zorvel");
  EXPECT_STREQ("Zorvel", screen.GetName());

  EXPECT_EQ(nullptr, screen.AddPicture((dir + "/absent.bmp").c_str()));
  EXPECT_EQ(0, screen.PictureCount()) << "a picture that does not load is not kept";
  Picture* plain = screen.AddPicture(dot.c_str());
  ASSERT_NE(nullptr, plain);
  EXPECT_STREQ(dot.c_str(), plain->GetName());
  Picture* named = screen.AddNamedPicture(dot.c_str(), "dot");
  Picture* failed = screen.AddNamedPicture((dir + "/absent.bmp").c_str(), "hole");
  ASSERT_NE(nullptr, failed) << "kept even though its bitmap did not load";
  EXPECT_EQ(3, screen.PictureCount());
  EXPECT_EQ(failed, screen.FindPicture("hole"));

  Surface* dest = FilledSurface(10, 10, 0);
  named->SetPosition(5, 5);
  EXPECT_EQ(1, screen.DrawPicture(dest, "dot"));
  EXPECT_EQ(0, dest->Row16(5)[5]) << "the blue column is transparent";
  EXPECT_EQ(Pixel565({255, 0, 0}), dest->Row16(8)[8]);
  EXPECT_EQ(1, screen.DrawPictureAt(dest, "dot", -2, 0));
  EXPECT_EQ(Pixel565({255, 0, 0}), dest->Row16(0)[0]);
  dest->Release();

  // Removing takes a picture out of the list without deleting it.
  screen.RemovePictureByName("dot");
  EXPECT_EQ(nullptr, screen.FindPicture("dot"));
  EXPECT_EQ(2, screen.PictureCount());
  EXPECT_NE(nullptr, named->GetSurface());
  delete named;

  // A widget added to the screen takes the set's offset.
  screen.GetWidgetSet()->SetOffset(7, 9);
  auto* button = new Widget(0, 0, 10, 10);
  screen.AddWidget(button);
  button->Update(8, 10, 0);
  EXPECT_EQ(1, button->IsMouseInside());

  // Deactivate, then activate: empty containers, display bound. A picture that served as a scene surface
  // takes it out of the refresh manager as it goes; another surface stays.
  Surface* foreign = FilledSurface(2, 2, 0);
  ResetRefreshManager();
  g_refreshManager.SetWorkSurface(plain->GetSurface());
  g_refreshManager.SetCleanSurface(foreign);
  screen.Deactivate();
  EXPECT_EQ(nullptr, g_refreshManager.GetWorkSurface());
  EXPECT_EQ(foreign, g_refreshManager.GetCleanSurface());
  ResetRefreshManager();
  foreign->Release();
  EXPECT_EQ(nullptr, screen.GetWidgetSet());
  EXPECT_EQ(0, screen.PictureCount());
  screen.Deactivate();  // twice is harmless
  Surface* back = FilledSurface(8, 8, 0);
  screen.Activate(nullptr, back);
  EXPECT_EQ(back, screen.GetBackSurface());
  ASSERT_NE(nullptr, screen.GetWidgetSet());
  EXPECT_EQ(0, screen.GetWidgetSet()->Count());
  EXPECT_EQ(0, screen.PictureCount());
  back->Release();
  EXPECT_EQ(liveBefore, Surface::LiveCount());
}

namespace {

// An overlay that only counts how often it is asked to present.
class CountingScreen : public Screen {
 public:
  int32_t Present() override {
    ++presents;
    return 42;
  }
  int presents = 0;
};

}  // namespace

TEST(Screen, AnOverlayPresentsInsteadOfTheScreen) {
  ResetRefreshManager();
  Screen screen;
  CountingScreen popup;
  screen.SetOverlay(&popup);
  EXPECT_EQ(&popup, screen.GetOverlay());
  EXPECT_EQ(42, screen.Present());
  EXPECT_EQ(1, popup.presents);
  EXPECT_EQ(0, g_refreshManager.GetParity()) << "with an overlay the screen itself neither flips nor presents";
  screen.SetOverlay(nullptr);
  screen.Present();
  EXPECT_EQ(1, g_refreshManager.GetParity()) << "without one, the end of the frame toggles the parity";
  EXPECT_EQ(1, popup.presents);
  ResetRefreshManager();
}
