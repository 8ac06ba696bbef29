#include "bull_art.h"

#include <cmath>
#include <cstdint>

#include "canvas.h"
#include "screen_layout.h"

namespace mkassets {

namespace {

constexpr Rgb kHide{156, 92, 52};
constexpr Rgb kHideFar{124, 70, 38};
constexpr Rgb kBelly{196, 138, 92};
constexpr Rgb kMuzzle{242, 196, 172};
constexpr Rgb kNostril{120, 62, 54};
constexpr Rgb kHorn{250, 240, 214};
constexpr Rgb kHoof{66, 46, 38};
constexpr Rgb kTuft{92, 52, 28};
constexpr Rgb kOutline{56, 32, 20};
constexpr Rgb kAngryRed{222, 64, 48};
constexpr double kLine = 2.4;

constexpr double kRootX = 152;  // ground point under the body, in frame pixels
constexpr double kGroundY = 212;

enum class Eyes { Open, Closed, Happy, Sad, Angry, Squint };
enum class Mouth { Smile, Grin, Frown, Wavy, Gritted, Oh };
enum class Legs { Stand, Crouch, Tucked, Spread, Folded };

struct Pose {
  double lift = 0;        // height of the whole bull above the ground
  double bodyDrop = 0;    // body lowered by bending the legs
  double headDx = 0, headDy = 0, headTilt = 0;  // tilt in degrees, positive clockwise
  double faceTurn = 0;    // -1 head turned to its left (viewer's left) .. 1 to the right
  Eyes eyes = Eyes::Open;
  double pupilDx = 0, pupilDy = 0;
  double browLeft = 0, browRight = 0;  // lift of each brow in pixels
  double browAngle = 0;  // > 0 angry (inner ends down), < 0 worried (inner ends up)
  Mouth mouth = Mouth::Smile;
  double redness = 0;
  double earDroop = 0;    // 0 perky .. 1 drooping
  double tailLift = 0;    // -1 limp .. 1 raised
  Legs legs = Legs::Stand;
  int raisedHoof = 0;     // 0 none, 1 near front hoof raised
  bool steam = false, confetti = false, tear = false, dust = false, motionBelow = false;
  int shakeMarks = 0;     // -1 marks on the left of the head, 1 on the right
  int question = 0;       // 0 none, 1 small on the left, 2 large on the right
};

Pose PoseOf(BullFrame frame) {
  Pose p;
  switch (frame) {
    case BullFrame::kNeutral: break;
    case BullFrame::kBlink: p.eyes = Eyes::Closed; break;
    case BullFrame::kSlumped:
      p.bodyDrop = 6; p.headDy = 16; p.headDx = 4; p.headTilt = 6; p.eyes = Eyes::Sad; p.browAngle = -1;
      p.mouth = Mouth::Frown; p.earDroop = 1; p.tailLift = -1; p.pupilDy = 2;
      break;
    case BullFrame::kHopCrouch:
      p.bodyDrop = 14; p.headDy = 12; p.legs = Legs::Crouch; p.mouth = Mouth::Smile; p.browLeft = p.browRight = 1;
      p.earDroop = 0.3;
      break;
    case BullFrame::kHopAir:
      p.lift = 30; p.legs = Legs::Tucked; p.eyes = Eyes::Happy; p.mouth = Mouth::Grin; p.headDy = -4;
      p.tailLift = 0.6; p.motionBelow = true;
      break;
    case BullFrame::kHopLanding:
      p.bodyDrop = 5; p.eyes = Eyes::Happy; p.mouth = Mouth::Grin; p.tailLift = 1; p.dust = true; p.headDy = 2;
      break;
    case BullFrame::kCelebration:
      p.lift = 28; p.legs = Legs::Spread; p.eyes = Eyes::Happy; p.mouth = Mouth::Grin; p.headDy = -6;
      p.headTilt = -6; p.tailLift = 1; p.confetti = true; p.browLeft = p.browRight = 3;
      break;
    case BullFrame::kAngry:
      p.headDx = 6; p.headDy = 10; p.eyes = Eyes::Angry; p.browAngle = 1; p.mouth = Mouth::Gritted; p.redness = 0.7;
      p.tailLift = 0.8; p.bodyDrop = 4; p.earDroop = -0.3;
      break;
    case BullFrame::kAngrySteam:
      p.headDx = 8; p.headDy = 12; p.eyes = Eyes::Angry; p.browAngle = 1.3; p.mouth = Mouth::Gritted;
      p.redness = 0.9; p.tailLift = 1; p.bodyDrop = 6; p.steam = true; p.raisedHoof = 1; p.earDroop = -0.3;
      break;
    case BullFrame::kLookLeft: p.pupilDx = -4.5; p.browLeft = 2; p.headDx = -2; break;
    case BullFrame::kLookRight: p.pupilDx = 4.5; p.browRight = 2; p.headDx = 2; break;
    case BullFrame::kHeadLeft:
      p.faceTurn = -1; p.headTilt = -12; p.headDx = -6; p.pupilDx = -3; p.shakeMarks = 1; p.mouth = Mouth::Wavy;
      break;
    case BullFrame::kHeadRight:
      p.faceTurn = 1; p.headTilt = 12; p.headDx = 6; p.pupilDx = 3; p.shakeMarks = -1; p.mouth = Mouth::Wavy;
      break;
    case BullFrame::kShrugA:
      p.headTilt = -10; p.browLeft = 5; p.eyes = Eyes::Squint; p.mouth = Mouth::Wavy; p.question = 1;
      p.raisedHoof = 1; p.bodyDrop = -3; p.pupilDx = -2; p.pupilDy = -2;
      break;
    case BullFrame::kShrugB:
      p.headTilt = 10; p.browRight = 5; p.mouth = Mouth::Oh; p.question = 2; p.bodyDrop = -3; p.pupilDx = 2;
      p.pupilDy = -3; p.earDroop = 0.4;
      break;
    case BullFrame::kLyingDown:
      p.legs = Legs::Folded; p.bodyDrop = 30; p.headDx = 10; p.headDy = 44; p.headTilt = 10; p.eyes = Eyes::Closed;
      p.browAngle = -1.2; p.mouth = Mouth::Frown; p.earDroop = 1; p.tailLift = -1; p.tear = true;
      break;
  }
  return p;
}

// Fills the current path and outlines it in the bull's line colour.
void FillOutline(cairo_t* cr, Rgb fill, double width = kLine) {
  SetSource(cr, fill);
  cairo_fill_preserve(cr);
  SetSource(cr, kOutline);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void Ellipse(cairo_t* cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_new_sub_path(cr);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

// A leg hanging from (x, top), rotated about its top by angle degrees (positive swings the hoof forward).
void Leg(cairo_t* cr, double x, double top, double length, double angle, Rgb hide) {
  cairo_save(cr);
  cairo_translate(cr, x, top);
  cairo_rotate(cr, -angle * M_PI / 180);
  RoundedRect(cr, -9, -6, 18, length + 6, 7);
  FillOutline(cr, hide);
  RoundedRect(cr, -10, length - 9, 20, 10, 4);
  FillOutline(cr, kHoof);
  cairo_restore(cr);
}

void LegsFor(cairo_t* cr, const Pose& p, double bodyY, bool far) {
  const Rgb hide = far ? kHideFar : kHide;
  const double top = bodyY + 26;
  const double length = -top;  // reach the ground
  const double backX = far ? -56 : -34, frontX = far ? 36 : 58;
  switch (p.legs) {
    case Legs::Stand:
    case Legs::Crouch: {
      const double l = length;
      Leg(cr, backX, top, l, 0, hide);
      if (!far && p.raisedHoof == 1)
        Leg(cr, frontX, top, l - 10, 38, hide);
      else
        Leg(cr, frontX, top, l, 0, hide);
      break;
    }
    case Legs::Tucked:
      Leg(cr, backX, top, 32, -35, hide);
      Leg(cr, frontX, top, 32, 35, hide);
      break;
    case Legs::Spread:
      Leg(cr, backX, top, 38, -50, hide);
      Leg(cr, frontX, top, 38, 55, hide);
      break;
    case Legs::Folded:
      // Legs tucked under the body, hooves peeking out in front and behind.
      cairo_save(cr);
      RoundedRect(cr, frontX - 18, -16, 44, 16, 8);
      FillOutline(cr, hide);
      RoundedRect(cr, frontX + 18, -15, 12, 14, 4);
      FillOutline(cr, kHoof);
      Ellipse(cr, backX - 8, -14, 24, 14);
      FillOutline(cr, hide);
      cairo_restore(cr);
      break;
  }
}

void Tail(cairo_t* cr, const Pose& p, double bodyY) {
  const double sx = -76, sy = bodyY - 14;
  double ex, ey;
  if (p.legs == Legs::Folded) {
    ex = -118; ey = -4;
  } else {
    ex = -100 - 10 * p.tailLift; ey = bodyY + 40 - 75 * std::max(0.0, p.tailLift) + 20 * std::max(0.0, -p.tailLift);
  }
  cairo_move_to(cr, sx, sy);
  cairo_curve_to(cr, sx - 22, sy - 6, ex + 8, (sy + ey) / 2 - 10, ex, ey);
  SetSource(cr, kOutline);
  cairo_set_line_width(cr, 7);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke_preserve(cr);
  SetSource(cr, kHide);
  cairo_set_line_width(cr, 3.5);
  cairo_stroke(cr);
  Ellipse(cr, ex, ey, 7, 9);
  FillOutline(cr, kTuft);
}

void Body(cairo_t* cr, double bodyY, bool lying) {
  const double ry = lying ? 36 : 44;
  Ellipse(cr, 0, bodyY, 82, ry);
  FillOutline(cr, kHide);
  cairo_save(cr);
  Ellipse(cr, 0, bodyY, 82, ry);
  cairo_clip(cr);
  Ellipse(cr, 8, bodyY + ry * 0.75, 60, ry * 0.45);
  SetSource(cr, kBelly);
  cairo_fill(cr);
  // A few darker patches on the hide.
  Ellipse(cr, -40, bodyY - 16, 16, 11);
  Ellipse(cr, 14, bodyY - 26, 12, 8);
  SetSource(cr, kHideFar);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Horn(cairo_t* cr, double side) {
  cairo_move_to(cr, side * 22, -22);
  cairo_curve_to(cr, side * 40, -26, side * 54, -34, side * 56, -58);
  cairo_curve_to(cr, side * 48, -44, side * 38, -38, side * 24, -34);
  cairo_close_path(cr);
  FillOutline(cr, kHorn, 2);
}

void Ear(cairo_t* cr, double side, double droop, Rgb hide) {
  cairo_save(cr);
  cairo_translate(cr, side * 38, -10);
  cairo_rotate(cr, side * (-0.35 + 0.75 * droop));
  Ellipse(cr, side * 10, 0, 15, 7.5);
  FillOutline(cr, hide);
  Ellipse(cr, side * 11, 0.5, 9, 3.5);
  SetSource(cr, kMuzzle);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Eye(cairo_t* cr, const Pose& p, double x, double y, double side, Rgb skin) {
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  switch (p.eyes) {
    case Eyes::Closed:
      cairo_move_to(cr, x - 8, y);
      cairo_curve_to(cr, x - 4, y + 5, x + 4, y + 5, x + 8, y);
      SetSource(cr, kOutline);
      cairo_set_line_width(cr, 2.6);
      cairo_stroke(cr);
      return;
    case Eyes::Happy:
      cairo_move_to(cr, x - 8, y + 3);
      cairo_curve_to(cr, x - 4, y - 6, x + 4, y - 6, x + 8, y + 3);
      SetSource(cr, kOutline);
      cairo_set_line_width(cr, 3);
      cairo_stroke(cr);
      return;
    default: break;
  }
  const double ry = p.eyes == Eyes::Squint && side < 0 ? 6 : 10;
  Ellipse(cr, x, y, 8, ry);
  FillOutline(cr, Rgb{255, 255, 255}, 2);
  const double pr = p.eyes == Eyes::Angry ? 3.2 : 4.6;
  Ellipse(cr, x + p.pupilDx, y + 1 + p.pupilDy, pr, pr * 1.1);
  SetSource(cr, Rgb{28, 20, 16});
  cairo_fill(cr);
  Ellipse(cr, x + p.pupilDx - 1.5, y - 1 + p.pupilDy, 1.4, 1.4);
  SetSource(cr, Rgb{255, 255, 255});
  cairo_fill(cr);
  // Lids: heavy and sloping down outwards when sad, down inwards when angry.
  if (p.eyes == Eyes::Sad || p.eyes == Eyes::Angry) {
    cairo_save(cr);
    Ellipse(cr, x, y, 8.5, ry + 0.5);
    cairo_clip(cr);
    const double inner = p.eyes == Eyes::Angry ? 2 : -6, outer = p.eyes == Eyes::Angry ? -6 : 0;
    cairo_move_to(cr, x - side * 12, y - 14);
    cairo_line_to(cr, x + side * 12, y - 14);
    cairo_line_to(cr, x + side * 12, y + outer);
    cairo_line_to(cr, x - side * 12, y + inner);
    cairo_close_path(cr);
    FillOutline(cr, skin, 2);
    cairo_restore(cr);
  }
}

void Brow(cairo_t* cr, const Pose& p, double x, double y, double side) {
  const double lift = side < 0 ? p.browLeft : p.browRight;
  const double tilt = p.browAngle * 5;  // inner end moves down when angry
  cairo_move_to(cr, x - side * 8, y - 16 - lift);
  cairo_line_to(cr, x + side * 7, y - 15 - lift + tilt);
  // Inner end is the one nearer the middle of the face.
  SetSource(cr, kOutline);
  cairo_set_line_width(cr, 3.2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
}

void MouthShape(cairo_t* cr, const Pose& p, double cx, double y) {
  SetSource(cr, kOutline);
  cairo_set_line_width(cr, 2.4);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  switch (p.mouth) {
    case Mouth::Smile:
      cairo_move_to(cr, cx - 13, y - 2);
      cairo_curve_to(cr, cx - 6, y + 5, cx + 6, y + 5, cx + 13, y - 2);
      cairo_stroke(cr);
      break;
    case Mouth::Grin:
      cairo_move_to(cr, cx - 15, y - 3);
      cairo_curve_to(cr, cx - 8, y + 12, cx + 8, y + 12, cx + 15, y - 3);
      cairo_close_path(cr);
      FillOutline(cr, Rgb{110, 30, 30}, 2.2);
      Ellipse(cr, cx, y + 5, 6, 3);
      SetSource(cr, Rgb{236, 110, 120});
      cairo_fill(cr);
      break;
    case Mouth::Frown:
      cairo_move_to(cr, cx - 12, y + 4);
      cairo_curve_to(cr, cx - 6, y - 3, cx + 6, y - 3, cx + 12, y + 4);
      cairo_stroke(cr);
      break;
    case Mouth::Wavy:
      cairo_move_to(cr, cx - 12, y + 1);
      cairo_curve_to(cr, cx - 8, y - 3, cx - 4, y - 3, cx, y + 1);
      cairo_curve_to(cr, cx + 4, y + 5, cx + 8, y + 5, cx + 12, y + 1);
      cairo_stroke(cr);
      break;
    case Mouth::Gritted:
      RoundedRect(cr, cx - 13, y - 4, 26, 9, 3);
      FillOutline(cr, Rgb{255, 255, 250}, 2);
      for (double tx : {cx - 6.5, cx, cx + 6.5}) {
        cairo_move_to(cr, tx, y - 4);
        cairo_line_to(cr, tx, y + 5);
      }
      cairo_move_to(cr, cx - 13, y + 0.5);
      cairo_line_to(cr, cx + 13, y + 0.5);
      SetSource(cr, kOutline);
      cairo_set_line_width(cr, 1.2);
      cairo_stroke(cr);
      break;
    case Mouth::Oh:
      Ellipse(cr, cx, y + 1, 4.5, 5.5);
      FillOutline(cr, Rgb{110, 30, 30}, 2);
      break;
  }
}

void Puff(cairo_t* cr, double x, double y, double r) {
  cairo_arc(cr, x, y, r, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 0.55, 0.55, 0.58, 1);
  cairo_set_line_width(cr, 1.6);
  cairo_stroke_preserve(cr);
  cairo_set_source_rgb(cr, 0.97, 0.97, 0.98);
  cairo_fill(cr);
}

void Head(cairo_t* cr, const Pose& p) {
  const Rgb skin = Mix(kHide, kAngryRed, p.redness);
  const double turn = p.faceTurn * 9;
  Ear(cr, -1, p.earDroop, skin);
  Ear(cr, 1, p.earDroop, skin);
  Horn(cr, -1);
  Horn(cr, 1);
  Ellipse(cr, 0, 0, 38, 34);
  FillOutline(cr, skin);
  // Curly forelock between the horns.
  for (double fx : {-9.0, 0.0, 9.0}) {
    Ellipse(cr, fx + turn * 0.3, -30 + std::abs(fx) * 0.3, 7, 6);
    FillOutline(cr, kTuft, 1.6);
  }
  if (p.redness > 0) {
    // Flushed cheeks.
    Ellipse(cr, -26 + turn, 8, 8, 5);
    Ellipse(cr, 26 + turn, 8, 8, 5);
    cairo_set_source_rgba(cr, 0.75, 0.1, 0.1, 0.5);
    cairo_fill(cr);
  }
  const double ey = -8;
  Eye(cr, p, -15 + turn, ey, -1, skin);
  Eye(cr, p, 15 + turn, ey, 1, skin);
  if (p.eyes != Eyes::Happy || p.browLeft > 0) {
    Brow(cr, p, -15 + turn, ey, -1);
    Brow(cr, p, 15 + turn, ey, 1);
  }
  const double mx = turn * 1.2;
  Ellipse(cr, mx, 20, 31, 18);
  FillOutline(cr, kMuzzle);
  const double flare = p.redness > 0.8 ? 1.4 : 1.0;
  Ellipse(cr, mx - 11, 15, 4.5 * flare, 3 * flare);
  Ellipse(cr, mx + 11, 15, 4.5 * flare, 3 * flare);
  SetSource(cr, kNostril);
  cairo_fill(cr);
  MouthShape(cr, p, mx, 27);
  if (p.steam) {
    Puff(cr, mx - 34, 30, 5);
    Puff(cr, mx - 45, 38, 7);
    Puff(cr, mx - 60, 36, 9);
    Puff(cr, mx + 34, 30, 5);
    Puff(cr, mx + 45, 38, 7);
    Puff(cr, mx + 60, 36, 9);
  }
  if (p.tear) {
    cairo_move_to(cr, 16 + turn, -1);
    cairo_curve_to(cr, 12 + turn, 7, 13 + turn, 12, 17 + turn, 12);
    cairo_curve_to(cr, 21 + turn, 12, 22 + turn, 7, 16 + turn, -1);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.55, 0.80, 0.96);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.25, 0.45, 0.60);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
}

void Confetti(cairo_t* cr) {
  // A fixed scatter: the same frame every build.
  uint32_t state = 20240531u;
  auto next = [&state]() {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / static_cast<double>(1u << 24);
  };
  const Rgb colours[] = {{236, 64, 80}, {255, 200, 40}, {70, 190, 100}, {180, 90, 220}, {255, 140, 40},
                         {80, 170, 230}};
  for (int i = 0; i < 46; ++i) {
    const double x = 12 + next() * 390, y = 8 + next() * 150, a = next() * M_PI;
    const Rgb c = colours[i % 6];
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, a);
    if (i % 5 == 0) {
      cairo_arc(cr, 0, 0, 3, 0, 2 * M_PI);
    } else {
      cairo_rectangle(cr, -4.5, -2, 9, 4);
    }
    SetSource(cr, c);
    cairo_fill(cr);
    cairo_restore(cr);
  }
}

void QuestionMark(cairo_t* cr, const FontLibrary& fonts, double x, double y, double size) {
  fonts.Use(cr, FontId::SansBold, size);
  OutlinedTextCentred(cr, "?", x, y, 5, 1, 0.86, 0.3, 0.3, 0.18, 0.08);
}

void DrawBull(cairo_t* cr, const FontLibrary& fonts, const Pose& p) {
  if (p.confetti) Confetti(cr);
  // Shadow on the ground shrinks as the bull leaves it.
  const double shadowScale = 1.0 - p.lift / 110;
  Ellipse(cr, kRootX + 8, kGroundY - 1, 100 * shadowScale, 8 * shadowScale);
  cairo_set_source_rgba(cr, 0.1, 0.25, 0.05, 0.35);
  cairo_fill(cr);
  if (p.dust) {
    for (double dx : {-70.0, -50.0, 60.0, 82.0}) Puff(cr, kRootX + dx, kGroundY - 5, dx < 0 ? 5 : 6);
  }
  cairo_save(cr);
  cairo_translate(cr, kRootX, kGroundY - p.lift);
  const bool lying = p.legs == Legs::Folded;
  const double bodyY = -72 + p.bodyDrop;
  LegsFor(cr, p, bodyY, true);
  Tail(cr, p, bodyY);
  Body(cr, bodyY, lying);
  LegsFor(cr, p, bodyY, false);
  if (p.motionBelow) {
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (double x : {-40.0, 0.0, 40.0}) {
      cairo_move_to(cr, x, 14);
      cairo_line_to(cr, x, 26);
    }
    cairo_stroke(cr);
  }
  cairo_save(cr);
  cairo_translate(cr, 88 + p.headDx, -112 + p.headDy + p.bodyDrop * 0.6);
  cairo_rotate(cr, p.headTilt * M_PI / 180);
  Head(cr, p);
  cairo_restore(cr);
  if (p.shakeMarks != 0) {
    // Swish marks on the side the head has come from.
    const double side = p.shakeMarks;
    const double cx = 88 + p.headDx + side * 56, cy = -112;
    cairo_set_source_rgba(cr, 0.3, 0.2, 0.15, 0.8);
    cairo_set_line_width(cr, 2.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 3; ++i) {
      const double r = 14 + i * 7;
      if (side > 0)
        cairo_arc(cr, cx - 14, cy, r, -0.5, 0.5);
      else
        cairo_arc(cr, cx + 14, cy, r, M_PI - 0.5, M_PI + 0.5);
      cairo_stroke(cr);
    }
  }
  cairo_restore(cr);
  if (p.question == 1) QuestionMark(cr, fonts, kRootX + 20, 60, 34);
  if (p.question == 2) QuestionMark(cr, fonts, kRootX + 170, 56, 46);
}

}  // namespace

RgbImage PaintBullFrame(const FontLibrary& fonts, const RgbImage& background, BullFrame frame) {
  const layout::Box& s = layout::kStage;
  Canvas canvas(background.Crop(s.x, s.y, layout::kBullFrameW, layout::kBullFrameH));
  cairo_t* cr = canvas.cr();
  // Nothing of the bull may reach the rows under the text panel.
  cairo_rectangle(cr, 0, 0, layout::kBullFrameW, layout::kStageVisibleH);
  cairo_clip(cr);
  DrawBull(cr, fonts, PoseOf(frame));
  RgbImage out = canvas.ToOpaque();
  for (int y = layout::kStageVisibleH; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) out.Set(x, y, kKeyBlue);
  return out;
}

void PaintBullIcon(cairo_t* cr, int size) {
  // The head of the happy pose on a round badge, filling the square with a little margin.
  const double scale = size / 140.0;
  cairo_save(cr);
  cairo_scale(cr, scale, scale);
  cairo_arc(cr, 70, 70, 68, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 0.36, 0.62, 0.22);
  cairo_fill_preserve(cr);
  SetSource(cr, kOutline);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  Pose p;
  p.eyes = Eyes::Happy;
  p.mouth = Mouth::Grin;
  cairo_translate(cr, 70, 80);
  Head(cr, p);
  cairo_restore(cr);
}

RgbImage PaintBullSheet(const FontLibrary& fonts, const RgbImage& background) {
  const int cols = layout::kBullSheetColumns;
  const int rows = (layout::kBullFrames + cols - 1) / cols;
  RgbImage sheet(cols * layout::kBullFrameW, rows * layout::kBullFrameH);
  for (int i = 0; i < layout::kBullFrames; ++i)
    sheet.Paste(PaintBullFrame(fonts, background, static_cast<BullFrame>(i)), (i % cols) * layout::kBullFrameW,
                (i / cols) * layout::kBullFrameH, false);
  return sheet;
}

}  // namespace mkassets
