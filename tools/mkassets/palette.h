#pragma once
// The game's colours. None is near the key blue; the bright blues of the sky keep plenty of red and green.
#include "rgb_image.h"

namespace mkassets {

namespace palette {

inline constexpr Rgb kBackdropTop{24, 92, 88};
inline constexpr Rgb kBackdropBottom{10, 48, 50};
inline constexpr Rgb kGold{232, 184, 72};
inline constexpr Rgb kGoldDark{150, 104, 30};
inline constexpr Rgb kInk{44, 34, 28};
inline constexpr Rgb kWoodLight{150, 92, 52};
inline constexpr Rgb kWoodDark{84, 48, 26};
inline constexpr Rgb kSlot{54, 34, 22};
inline constexpr Rgb kSlotText{126, 96, 66};

inline constexpr Rgb kScoreBox{22, 26, 30};
inline constexpr Rgb kDigit{255, 214, 84};

// The text panel is one flat colour so that text and stamps blend into it exactly.
inline constexpr Rgb kPanel{250, 244, 226};
inline constexpr Rgb kPanelRim{120, 78, 44};
inline constexpr Rgb kText{40, 32, 28};

inline constexpr Rgb kSkyTop{118, 186, 232};
inline constexpr Rgb kSkyBottom{206, 232, 240};
inline constexpr Rgb kGrass{108, 178, 72};
inline constexpr Rgb kGrassDark{74, 140, 54};

inline constexpr Rgb kGlass{196, 222, 226};
inline constexpr Rgb kFillLight{255, 150, 60};
inline constexpr Rgb kFillDark{204, 58, 34};

inline constexpr Rgb kTrue{46, 150, 70};
inline constexpr Rgb kFalse{200, 50, 44};
inline constexpr Rgb kPass{226, 150, 40};
// The verdict stamps' ink: the statement's truth, in a colour that says neither right nor wrong.
inline constexpr Rgb kStampInk{58, 62, 96};
inline constexpr Rgb kButton{150, 70, 36};
inline constexpr Rgb kButtonLit{255, 204, 70};
inline constexpr Rgb kWhite{255, 255, 255};
inline constexpr Rgb kCream{255, 248, 232};

}  // namespace palette

}  // namespace mkassets
