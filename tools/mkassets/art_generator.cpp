#include "art_generator.h"

#include <stdexcept>
#include <string>

#include "background_art.h"
#include "bmp_file.h"
#include "bull_art.h"
#include "button_art.h"
#include "glyph_sheet.h"
#include "hud_art.h"
#include "launcher_art.h"
#include "popup_art.h"
#include "screen_layout.h"
#include "summary_art.h"

namespace mkassets {

namespace {

void Write(const std::filesystem::path& file, const RgbImage& image) {
  std::filesystem::create_directories(file.parent_path());
  if (!WriteBmp24(file, image)) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

void GenerateArt(const FontLibrary& fonts, const std::filesystem::path& gameDir) {
  const RgbImage background = PaintBackground(fonts);
  Write(gameDir / "background.bmp", background);
  for (const auto& button : layout::kButtons) Write(gameDir / button.file, PaintButtonStrip(fonts, background, button));
  for (const auto& pie : layout::kPies) Write(gameDir / pie.file, PaintAnswerButtonStrip(fonts, background, pie));
  Write(gameDir / "true.bmp", PaintVerdict(fonts, true));
  Write(gameDir / "false.bmp", PaintVerdict(fonts, false));
  Write(gameDir / "clicktocontinue.bmp", PaintContinuePrompt(fonts, background));
  Write(gameDir / "bullanim.bmp", PaintBullSheet(fonts, background));
  Write(gameDir / "bulltimer.bmp", PaintClockFilling(background));
  Write(gameDir / "scorefont.bmp", PaintScoreDigits(fonts));
  Write(gameDir / "allscore.bmp", PaintLadderStrip(fonts, background, false));
  Write(gameDir / "allscorehighlight.bmp", PaintLadderStrip(fonts, background, true));
  Write(gameDir / "flower.bmp", PaintFlower());
  Write(gameDir / "font.bmp", PaintGlyphSheet(fonts));
  Write(gameDir / "title" / "HowToPlay.bmp", PaintRules(fonts, background));
  Write(gameDir / "hallfamepop.bmp", PaintHallOfFameNotice(fonts, background));
  Write(gameDir / "savefailed.bmp", PaintSaveFailedNotice(fonts, background));
  Write(gameDir / "gameover.bmp", PaintGameOver(fonts, background));
  Write(gameDir / "endgame.bmp", PaintEndGameQuestion(fonts, background));
  Write(gameDir / "summary.bmp", PaintSummary(fonts, background, false));
  Write(gameDir / "summaryrecord.bmp", PaintSummary(fonts, background, true));
  Write(gameDir / "review.bmp", PaintReview(fonts, background));
  Write(gameDir / "newround.bmp", PaintNewRoundNotice(fonts, background));
  GenerateLauncherArt(fonts, gameDir, Write);
}

}  // namespace mkassets
