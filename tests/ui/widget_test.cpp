#include "ui/widget.h"

#include <gtest/gtest.h>

#include "platform/window/messages.h"
#include "ui/back_surface.h"
#include "ui/ui_test_support.h"
#include "ui/widget_set.h"

using platform::Surface;
using namespace test_support;

namespace {

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kWhite{255, 255, 255}, kYellow{255, 255, 0};
constexpr uint16_t kGround = 0x0841;

// Widgets draw onto the application's back surface; each test gets a fresh one and a clean refresh manager.
class WidgetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = FreshDir();
    back_ = FilledSurface(200, 200, kGround);
    savedBack_ = BackSurface();
    SetBackSurface(back_);
    ResetRefreshManager();
  }
  void TearDown() override {
    SetBackSurface(savedBack_);
    ResetRefreshManager();
    back_->Release();
  }
  // A strip of count images side by side, each w x h in its own colour.
  std::string Strip(const char* name, int w, int h, std::vector<Rgb> colours) {
    const std::string path = dir_ + "/" + name;
    WriteBmp(path, w * static_cast<int>(colours.size()), h, [&](int x, int) { return colours[x / w]; });
    return path;
  }
  uint16_t Back(int x, int y) const { return back_->Row16(y)[x]; }

  std::string dir_;
  Surface* back_ = nullptr;
  Surface* savedBack_ = nullptr;
};

}  // namespace

TEST_F(WidgetTest, AClickIsReportedForExactlyOneUpdate) {
  Widget button(10, 10, 40, 20);
  // Pressed and released over the button in two successive frames.
  EXPECT_EQ(kWidgetHover, button.Update(20, 15, 0));
  EXPECT_EQ(kWidgetPressed, button.Update(20, 15, 1));
  EXPECT_EQ(0, button.WasClicked());
  EXPECT_EQ(kWidgetHover, button.Update(20, 15, 0));
  EXPECT_EQ(1, button.WasClicked());
  EXPECT_EQ(1, button.GetClickButton());
  button.Update(20, 15, 0);
  EXPECT_EQ(0, button.WasClicked()) << "the next update clears the click";

  // Pressed, dragged out, released outside: back to normal as soon as the pointer leaves, and no click.
  button.Update(20, 15, 1);
  EXPECT_EQ(kWidgetNormal, button.Update(80, 15, 1));
  EXPECT_EQ(kWidgetNormal, button.Update(80, 15, 0));
  EXPECT_EQ(0, button.WasClicked());

  // Pressed outside and dragged in presses the button; releasing there completes a click.
  button.Update(80, 15, 1);
  EXPECT_EQ(kWidgetPressed, button.Update(20, 15, 1));
  button.Update(20, 15, 0);
  EXPECT_EQ(1, button.WasClicked());

  // A disabled button ignores input and keeps its click flag as it was.
  button.SetEnabled(0);
  EXPECT_EQ(kWidgetHover, button.Update(80, 15, 1));
  EXPECT_EQ(1, button.WasClicked());
  button.SetEnabled(1);

  // The message path reports the click on the button-up message alone, whatever the state.
  button.SetState(kWidgetNormal);
  EXPECT_EQ(kWidgetHover, button.HandleMessage(platform::WM_LBUTTONUP, 0, platform::PackPoint(20, 15)));
  EXPECT_EQ(1, button.WasClicked());
  EXPECT_EQ(1, button.GetClickButton());
  EXPECT_EQ(kWidgetHover, button.HandleMessage(platform::WM_LBUTTONDBLCLK, 0, platform::PackPoint(20, 15)));
  EXPECT_EQ(0, button.WasClicked()) << "any other message clears the click";
  EXPECT_EQ(kWidgetPressed, button.HandleMessage(platform::WM_LBUTTONDOWN, 0, platform::PackPoint(20, 15)));
  EXPECT_EQ(kWidgetPressed, button.HandleMessage(platform::WM_MOUSEMOVE, 0, platform::PackPoint(21, 15)))
      << "moving while pressed keeps the press";
  EXPECT_EQ(kWidgetPressed, button.HandleMessage(platform::WM_RBUTTONUP, 0, platform::PackPoint(21, 15)))
      << "a right click does not change the state";
  EXPECT_EQ(1, button.WasClicked());
  EXPECT_EQ(2, button.GetClickButton());
  EXPECT_EQ(kWidgetNormal, button.HandleMessage(platform::WM_MOUSEMOVE, 0, platform::PackPoint(5, 15)));
  EXPECT_EQ(kWidgetNormal, button.HandleMessage(platform::WM_LBUTTONUP, 0, platform::PackPoint(5, 15)));
  EXPECT_EQ(0, button.WasClicked()) << "releasing outside clicks nothing";
}

TEST_F(WidgetTest, APressFromAKeyIsAClickForOneUpdateWhereverTheMouseIs) {
  Widget button(10, 10);
  ASSERT_EQ(1, button.LoadStrip(Strip("pair.bmp", 20, 10, {kRed, kGreen}).c_str(), 2, 0));
  button.Update(150, 150, 0);  // the mouse far away
  button.Draw(nullptr);
  ASSERT_EQ(Pixel565(kRed), Back(15, 15));

  button.Press();
  EXPECT_EQ(1, button.WasClicked());
  EXPECT_EQ(1, button.GetClickButton()) << "a left click";
  EXPECT_EQ(kWidgetHover, button.GetState());
  EXPECT_EQ(Pixel565(kGreen), Back(15, 15)) << "shown hovered at once";
  button.Update(150, 150, 0);
  EXPECT_EQ(0, button.WasClicked()) << "the next update clears it";
  EXPECT_EQ(Pixel565(kRed), Back(15, 15));

  // A press during a mouse press on the button is a click too, and leaves it hovered.
  button.Update(15, 15, 1);
  ASSERT_EQ(kWidgetPressed, button.GetState());
  button.Press();
  EXPECT_EQ(1, button.WasClicked());
  EXPECT_EQ(kWidgetHover, button.GetState());

  button.Update(150, 150, 0);
  button.SetEnabled(0);
  button.Press();
  EXPECT_EQ(0, button.WasClicked()) << "a disabled button ignores keys";
  EXPECT_EQ(kWidgetNormal, button.GetState());
}

TEST_F(WidgetTest, PolledEdgesAreExclusiveMessageEdgesInclusive) {
  Widget button(10, 20, 40, 30);  // covers x 10..49, y 20..49
  button.SetOffset(5, 7);         // now x 15..54, y 27..56
  struct Probe {
    int x, y;
    int polled, message;
  } probes[] = {
      {15, 27, 1, 1},  // top-left corner: inside both ways
      {54, 56, 1, 1},  // last pixel
      {55, 30, 0, 1},  // right edge
      {30, 57, 0, 1},  // bottom edge
      {55, 57, 0, 1},  // bottom-right corner
      {14, 30, 0, 0},  // left of the button
      {30, 26, 0, 0},  // above
      {56, 30, 0, 0},  // one past the right edge
  };
  for (const Probe& p : probes) {
    button.Update(p.x, p.y, 0);
    EXPECT_EQ(p.polled, button.IsMouseInside()) << "Update at " << p.x << ", " << p.y;
    button.HandleMessage(platform::WM_MOUSEMOVE, 0, platform::PackPoint(p.x, p.y));
    EXPECT_EQ(p.message, button.IsMouseInside()) << "HandleMessage at " << p.x << ", " << p.y;
  }
  // The hit rectangle is separate from the drawing rectangle.
  button.SetHitRect(0, 0, 5, 5);
  button.Update(7, 9, 0);
  EXPECT_EQ(1, button.IsMouseInside());
  button.Update(15, 27, 0);
  EXPECT_EQ(0, button.IsMouseInside());
}

TEST_F(WidgetTest, PixelHitTestIgnoresBluePixelsOfTheFirstImage) {
  const std::string path = dir_ + "/round.bmp";
  // Left half blue (transparent), right half white.
  WriteBmp(path, 20, 10, [](int x, int) { return x < 10 ? kBlue : kWhite; });
  Widget round(0, 0);
  ASSERT_EQ(1, round.AddImageFile(0, path.c_str()));
  round.SetPixelHitTest(1);
  EXPECT_EQ(kWidgetNormal, round.Update(3, 3, 1)) << "pressing over blue does not press";
  EXPECT_EQ(kWidgetPressed, round.Update(15, 3, 1));
  EXPECT_EQ(kWidgetPressed, round.Update(3, 3, 1)) << "once pressed, holding over blue keeps it";
  EXPECT_EQ(kWidgetNormal, round.Update(3, 3, 0)) << "releasing over blue returns to normal without a click";
  EXPECT_EQ(0, round.WasClicked());
  round.SetState(kWidgetHover);
  EXPECT_EQ(kWidgetNormal, round.Update(4, 4, 0));
  round.Update(15, 3, 1);
  EXPECT_EQ(kWidgetHover, round.Update(16, 4, 0));
  EXPECT_EQ(1, round.WasClicked());

  // Without an image the test is undecided: the button never presses and the state stays.
  Widget area(0, 0, 20, 20);
  area.SetPixelHitTest(1);
  EXPECT_EQ(kWidgetNormal, area.Update(5, 5, 1));
  area.SetState(kWidgetPressed);
  EXPECT_EQ(kWidgetPressed, area.Update(5, 5, 0));
  EXPECT_EQ(0, area.WasClicked());
}

TEST_F(WidgetTest, TheImageDrawnFollowsStateImageBaseAndOverrides) {
  Widget button(10, 10);
  ASSERT_EQ(1, button.LoadStrip(Strip("two.bmp", 20, 10, {kRed, kGreen}).c_str(), 2, 0));
  ASSERT_EQ(2, button.ImageCount());
  EXPECT_EQ(20, button.GetWidth());
  auto shown = [&](int state) {
    button.SetState(state);
    button.Draw(nullptr);  // null: the application's back surface
    return Back(15, 15);
  };
  EXPECT_EQ(Pixel565(kRed), shown(kWidgetNormal));
  EXPECT_EQ(Pixel565(kGreen), shown(kWidgetHover));
  EXPECT_EQ(Pixel565(kGreen), shown(kWidgetPressed)) << "past the last image, the last is drawn";
  button.SetState(kWidgetNormal);
  button.SetImageBase(1);  // redraws at once
  EXPECT_EQ(Pixel565(kGreen), Back(15, 15));
  EXPECT_EQ(Pixel565(kGreen), shown(kWidgetHover));
  EXPECT_EQ(Pixel565(kGreen), shown(kWidgetPressed));
  button.SetImageBase(0);
  EXPECT_EQ(Pixel565(kRed), shown(kWidgetNormal));

  // The state change inside Update redraws the button.
  button.Update(15, 15, 0);
  EXPECT_EQ(Pixel565(kGreen), Back(15, 15));
  button.Update(150, 150, 0);
  EXPECT_EQ(Pixel565(kRed), Back(15, 15));

  Widget three(50, 50);
  ASSERT_EQ(1, three.LoadStrip(Strip("three.bmp", 10, 10, {kRed, kGreen, kYellow}).c_str(), 3, 0));
  auto shownThree = [&](int state) {
    three.SetState(state);
    three.Draw(nullptr);
    return Back(55, 55);
  };
  three.SetShowFirstImage(1);
  for (int state = 0; state < 3; ++state) EXPECT_EQ(Pixel565(kRed), shownThree(state)) << "first image, " << state;
  three.SetShowFirstImage(0);
  three.SetForcedImage(1);
  EXPECT_EQ(1, three.GetForcedImage());
  for (int state = 0; state < 3; ++state) EXPECT_EQ(Pixel565(kGreen), shownThree(state)) << "forced, " << state;
  three.SetForcedImage(7);
  FillSurfaceWith(back_, kGround);
  EXPECT_EQ(kGround, shownThree(kWidgetNormal)) << "a forced image that does not exist draws nothing";
  three.SetForcedImage(-1);
  three.SwapFirstImages();  // redraws
  EXPECT_EQ(Pixel565(kGreen), Back(55, 55));
  EXPECT_EQ(Pixel565(kRed), shownThree(kWidgetHover));
  // A disabled widget is not redrawn.
  three.SetEnabled(0);
  FillSurfaceWith(back_, kGround);
  three.Redraw();
  EXPECT_EQ(kGround, Back(55, 55));
}

TEST_F(WidgetTest, ImagesAreScaledToTheButtonKeyedAndNotClipped) {
  // The last image added sets the size; an earlier, smaller image is stretched to it.
  Surface* small = FilledSurface(10, 10, Pixel565(kRed));
  Surface* large = FilledSurface(20, 20, Pixel565(kGreen));
  large->Row16(5)[5] = 0x001F;
  Widget button(100, 100);
  button.AddImage(7, small);
  button.AddImage(8, large);
  EXPECT_EQ(20, button.GetWidth());
  EXPECT_EQ(20, button.GetHeight());
  button.Draw(nullptr);
  EXPECT_EQ(Pixel565(kRed), Back(100, 100));
  EXPECT_EQ(Pixel565(kRed), Back(119, 119)) << "the 10 x 10 image fills 20 x 20";
  EXPECT_EQ(kGround, Back(120, 120));
  button.SetState(kWidgetHover);
  button.Draw(nullptr);
  EXPECT_EQ(Pixel565(kRed), Back(105, 105)) << "blue pixels of an image stay transparent";
  EXPECT_EQ(Pixel565(kGreen), Back(106, 105));

  // No clipping: a button that does not fit on the destination is not drawn at all.
  Widget edge(190, 10);
  edge.AddImage(0, large);
  FillSurfaceWith(back_, kGround);
  edge.Draw(nullptr);
  EXPECT_EQ(kGround, Back(195, 15));

  // Marking: with markDirty the drawn rectangle goes to the refresh manager as a one-shot present.
  button.SetMarkDirty(1);
  button.SetOffset(3, 4);
  button.Redraw();
  ASSERT_EQ(1, g_refreshManager.MarkCount(g_refreshManager.GetParity()));
  const RefreshRecord* mark = g_refreshManager.GetMark(g_refreshManager.GetParity(), 0);
  EXPECT_EQ(103, mark->x);
  EXPECT_EQ(104, mark->y);
  EXPECT_EQ(20, mark->width);
  EXPECT_EQ(20, mark->height);
  EXPECT_EQ(kMarkOneShot | kMarkPresent, mark->flags);
  EXPECT_EQ(Pixel565(kGreen), Back(122, 123)) << "drawn at the offset position";
  small->Release();
  large->Release();
}

TEST_F(WidgetTest, StampingDrawsIntoTheSceneSurfaces) {
  Surface* clean = FilledSurface(200, 200, 0);
  Surface* work = FilledSurface(200, 200, 0);
  g_refreshManager.SetCleanSurface(clean);
  g_refreshManager.SetWorkSurface(work);
  Surface* image = FilledSurface(8, 8, Pixel565(kYellow));
  Widget button(30, 40);
  button.AddImage(0, image);
  button.StampIntoScene(0);
  EXPECT_EQ(0, clean->Row16(41)[31]);
  button.StampIntoScene(1);
  EXPECT_EQ(Pixel565(kYellow), clean->Row16(41)[31]);
  EXPECT_EQ(Pixel565(kYellow), work->Row16(47)[37]);
  EXPECT_EQ(kGround, Back(31, 41)) << "the back surface is left to the refresh manager";
  ResetRefreshManager();
  image->Release();
  clean->Release();
  work->Release();
}

TEST_F(WidgetTest, StripsAndFilesBelongToTheWidgetGivenImagesToTheCaller) {
  const std::string strip = Strip("pair.bmp", 100, 50, {kRed, kGreen});
  const int before = Surface::LiveCount();
  Surface* mine = FilledSurface(4, 4, 0);
  {
    Widget button(0, 0);
    ASSERT_EQ(1, button.LoadStrip(strip.c_str(), 2, 0));
    EXPECT_EQ(2, button.ImageCount());
    EXPECT_EQ(100, button.GetWidth());
    EXPECT_EQ(50, button.GetHeight());
    EXPECT_EQ(before + 3, Surface::LiveCount()) << "the sheet is released after cutting";
    ASSERT_EQ(1, button.AddImageFile(9, strip.c_str()));
    button.AddImage(3, mine);
    EXPECT_EQ(0, button.AddImageFile(1, (dir_ + "/none.bmp").c_str()));
    EXPECT_EQ(0, button.LoadStrip((dir_ + "/none.bmp").c_str(), 2, 0));
    EXPECT_EQ(4, button.ImageCount()) << "failed loads keep the images the widget had";
  }
  EXPECT_EQ(before + 1, Surface::LiveCount()) << "the widget released what it loaded, not the caller's image";
  EXPECT_EQ(1u, mine->refCount());
  mine->Release();

  // Stacked strips, and strips that do not cut into exactly count images.
  Widget stacked(0, 0);
  ASSERT_EQ(1, stacked.LoadStrip(strip.c_str(), 5, 1));
  EXPECT_EQ(5, stacked.ImageCount());
  EXPECT_EQ(200, stacked.GetWidth());
  EXPECT_EQ(10, stacked.GetHeight());
  const std::string odd = dir_ + "/odd.bmp";
  WriteSolidBmp(odd, 10, 4, kRed);
  Widget uneven(0, 0);
  const int beforeUneven = Surface::LiveCount();
  uneven.LoadStrip(odd.c_str(), 4, 0);  // frames 2 wide: five of them, not four
  EXPECT_EQ(0, uneven.ImageCount());
  EXPECT_EQ(beforeUneven, Surface::LiveCount()) << "the frames of an unusable strip are not kept";
}

TEST(WidgetSet, FindsClickedAndNamedWidgetsInListOrder) {
  WidgetSet set;
  auto* first = set.Add(new Widget(0, 0, 10, 10));
  auto* second = set.Add(new Widget(0, 0, 10, 10));  // the same place: both take the click
  auto* third = set.Add(new Widget(50, 0, 10, 10));
  first->SetName("true");
  second->SetName("false");
  third->SetName("pass");
  EXPECT_EQ(nullptr, set.FindClicked());
  set.UpdateAll(5, 5, 1);
  set.UpdateAll(5, 5, 0);
  EXPECT_EQ(first, set.FindClicked());
  EXPECT_EQ(1, set.WasClicked("true"));
  EXPECT_EQ(0, set.WasClicked("false")) << "only the first clicked widget answers";
  EXPECT_EQ(0, set.WasClicked("True")) << "names compare case-sensitively";
  first->SetEnabled(0);
  EXPECT_EQ(second, set.FindClicked()) << "a disabled widget is never the clicked one";
  EXPECT_EQ(1, set.WasClicked("false"));
  set.UpdateAll(5, 5, 0);
  EXPECT_EQ(nullptr, set.FindClicked());

  EXPECT_EQ(third, set.FindByName("pass"));
  EXPECT_EQ(nullptr, set.FindByName("next"));
  set.RemoveByName("false");
  set.RemoveByName("next");
  EXPECT_EQ(2, set.Count());
  EXPECT_EQ(third, set.Get(1));

  // The set's offset moves every widget, for hit tests too.
  set.SetOffset(100, 100);
  set.UpdateAll(55, 5, 0);
  EXPECT_EQ(0, third->IsMouseInside());
  set.UpdateAll(155, 105, 0);
  EXPECT_EQ(1, third->IsMouseInside());
  EXPECT_EQ(100, set.GetOffsetX());
  set.DeleteAllWidgets();
  EXPECT_EQ(0, set.Count());
}
