#include "game/game_base.h"

GameBase::GameBase() = default;
GameBase::~GameBase() = default;

void GameBase::Reset() {}
void GameBase::Release() {}
int32_t GameBase::Run() { return -1; }

int32_t GameBase::GetState() const { return state; }
void GameBase::SetState(int32_t value) { state = value; }
void GameBase::SetScore(int32_t value) { score = value; }
int32_t GameBase::GetScore() const { return score; }
void GameBase::SetBonusSeconds(int32_t value) { bonusSeconds = value; }
int32_t GameBase::GetBonusSeconds() const { return bonusSeconds; }
void GameBase::SetMaxSeconds(int32_t value) { maxSeconds = value; }
int32_t GameBase::GetMaxSeconds() const { return maxSeconds; }
void GameBase::SetStartSeconds(int32_t value) { startSeconds = value; }
int32_t GameBase::GetStartSeconds() const { return startSeconds; }
void GameBase::SetPlayerId(int32_t value) { playerId = value; }
int32_t GameBase::GetPlayerId() const { return playerId; }
