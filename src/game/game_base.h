#pragma once
// The base of a game controller: its state number, the running score, the current player and the three settings
// of the game clock. The game screen and start-up drive a controller only through Reset, Release and Run.
#include <cstdint>

class GameBase {
 public:
  GameBase();
  GameBase(const GameBase&) = delete;
  GameBase& operator=(const GameBase&) = delete;

  virtual void Reset();       // a new game
  virtual void Release();     // free what the game holds
  virtual int32_t Run();      // one frame: 5 to go on, 7 to quit; the base has no game and answers -1
  virtual int32_t GetState() const;
  virtual void SetState(int32_t value);
  virtual void SetScore(int32_t value);
  virtual int32_t GetScore() const;
  virtual void SetBonusSeconds(int32_t value);
  virtual int32_t GetBonusSeconds() const;
  virtual void SetMaxSeconds(int32_t value);
  virtual int32_t GetMaxSeconds() const;
  virtual void SetStartSeconds(int32_t value);
  virtual int32_t GetStartSeconds() const;
  virtual void SetPlayerId(int32_t value);
  virtual int32_t GetPlayerId() const;  // kept: part of the game's interface, unused by this game
  virtual ~GameBase();

 protected:
  // The derived controller's Reset gives state and the clock settings their values for a new game.
  int32_t state = 0;
  int32_t score = 0;
  int32_t playerId = 0;
  int32_t bonusSeconds = 0;
  int32_t startSeconds = 0;
  int32_t maxSeconds = 0;
};
