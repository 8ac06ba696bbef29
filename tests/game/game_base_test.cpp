#include "game/game_base.h"

#include <gtest/gtest.h>

namespace {

class CountingGame : public GameBase {
 public:
  void Reset() override {
    ++resets;
    SetState(1);
    SetBonusSeconds(20);
    SetStartSeconds(180);
    SetMaxSeconds(180);
  }
  int32_t Run() override { return 5; }
  int resets = 0;
};

}  // namespace

TEST(GameBase, TheBaseHasNoGameAndDerivedControllersAreReachedThroughIt) {
  GameBase base;
  EXPECT_EQ(0, base.GetScore());
  EXPECT_EQ(0, base.GetPlayerId());
  base.Reset();
  base.Release();
  EXPECT_EQ(-1, base.Run());

  CountingGame game;
  GameBase& controller = game;
  controller.Reset();
  EXPECT_EQ(1, game.resets);
  EXPECT_EQ(5, controller.Run());
  EXPECT_EQ(1, controller.GetState());
  EXPECT_EQ(20, controller.GetBonusSeconds());
  EXPECT_EQ(180, controller.GetStartSeconds());
  EXPECT_EQ(180, controller.GetMaxSeconds());
  controller.SetScore(1250);
  controller.SetPlayerId(3);
  EXPECT_EQ(1250, controller.GetScore());
  EXPECT_EQ(3, controller.GetPlayerId());
}
