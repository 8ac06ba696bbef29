// The quiz's rules, judged on whole games of the real program: scoring on the ladder, right, wrong and pass for
// true and false statements, the streak and its time bonus, the bull's reactions and sounds, and the timings of
// the pause, the reveal and the explanation. Every expected value below is typed from the rules of the game.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/game_names.h"
#include "headless_game.h"

using rules::GameRun;
using rules::Script;
using Strings = std::vector<std::string>;

namespace {

// The reactions to the answer at line `answer`: everything up to the next answer (or the end of the trace).
Strings ReactionsTo(const GameRun& run, int answer) { return run.Reactions(answer, run.Find("answer ", answer + 1)); }

// The first state line after the answer.
rules::StateLine StateAfter(const GameRun& run, int answer) {
  for (const rules::StateLine& s : run.States())
    if (s.tick >= run.trace[answer].tick && s.state != 21) return s;
  return {};
}

// Bull frames drawn from the start of the animation at line `start` until the next animation starts.
std::vector<int> BullFrames(const GameRun& run, int start, std::vector<int32_t>* ticks = nullptr) {
  std::vector<int> frames;
  for (int i = start + 1; i < static_cast<int>(run.trace.size()); ++i) {
    const std::string& t = run.trace[i].text;
    if (t.rfind("bull frame ", 0) == 0) {
      frames.push_back(std::stoi(t.substr(11)));
      if (ticks) ticks->push_back(run.trace[i].tick);
    } else if (t.rfind("bull ", 0) == 0) {
      break;
    }
  }
  return frames;
}

std::vector<int> AnswerLines(const GameRun& run) {
  std::vector<int> out;
  for (int i = run.Find("answer "); i >= 0; i = run.Find("answer ", i + 1)) out.push_back(i);
  return out;
}

// Every sound at full volume; the bull's from the right, the others from the middle.
void ExpectFullVolumeAndTheBullOnTheRight(const GameRun& run) {
  int sounds = 0;
  for (const rules::Line& l : run.trace) {
    if (l.text.rfind("sound ", 0) != 0) continue;
    ++sounds;
    const bool bull = l.text.rfind("sound bull", 0) == 0;
    EXPECT_EQ(l.text.substr(l.text.find(" volume ")), bull ? " volume 65535 pan 1" : " volume 65535 pan 0") << l.text;
  }
  EXPECT_GT(sounds, 0);
}

const Strings kRight = {"sound bell", "sound poschart", "sound bull01", "bull right", "sound check"};
const Strings kRightOnTop = {"sound bell", "sound poschart", "sound cheer", "sound bull02", "bull top-step",
                             "sound check"};
const Strings kWrong = {"sound drop", "sound bull03", "bull wrong"};
const Strings kAngry = {"sound drop", "sound bull04", "bull angry"};
const Strings kPass = {"sound bull05", "bull pass"};

Strings Then(Strings a, const Strings& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(QuizRules, RightAnswersClimbTheLadderScoreItsPointsAndStayOnTheTopStep) {
  Script script;
  int32_t t = 500;
  for (int i = 0; i < 12; ++i) {
    script.True(t);
    // The first answer and the one on the top step get time to play the bull's whole reaction.
    const int32_t wait = (i == 0 || i == 9) ? 3000 : 700;
    script.Next(t + wait);
    t += wait + 300;
  }
  script.Escape(t + 1000);
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;

  const std::vector<int> answers = AnswerLines(run);
  ASSERT_EQ(answers.size(), 12u);
  const int scores[12] = {125, 375, 875, 1875, 3875, 8875, 18875, 43875, 93875, 193875, 293875, 393875};
  const int ladder[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9};
  const int streak[12] = {1, 2, 3, 1, 2, 3, 1, 2, 3, 1, 2, 3};
  for (int i = 0; i < 12; ++i) {
    SCOPED_TRACE("right answer " + std::to_string(i + 1));
    EXPECT_EQ(run.trace[answers[i]].text, "answer true");
    const rules::StateLine s = StateAfter(run, answers[i]);
    EXPECT_EQ(s.state, 24);
    EXPECT_EQ(s.score, scores[i]);
    EXPECT_EQ(s.ladder, ladder[i]);
    EXPECT_EQ(s.streak, streak[i]);
    // On the top step (reached after nine right answers) the bull celebrates and the crowd cheers.
    Strings expected = Then(i >= 9 ? kRightOnTop : kRight, {"verdict TRUE"});
    if (streak[i] == 3) expected.push_back("sound bling");
    expected.push_back("bull idle");
    EXPECT_EQ(ReactionsTo(run, answers[i]), expected);
  }
  ExpectFullVolumeAndTheBullOnTheRight(run);
  // A bonus after every third right answer, each time capped at 180 seconds.
  EXPECT_EQ(run.Texts("time bonus, clock "), Strings({"180", "180", "180", "180"}));

  // The bull: 4 5 6 4 5 6 4 5 6 4 below the top, 4 5 7 6 7 6 7 6 5 4 on it (sheet frames one lower), each
  // entry shown a little over 200 ms.
  std::vector<int32_t> ticks;
  EXPECT_EQ(BullFrames(run, run.Find("bull right"), &ticks), std::vector<int>({3, 4, 5, 3, 4, 5, 3, 4, 5, 3}));
  for (size_t i = 1; i < ticks.size(); ++i) {
    EXPECT_GT(ticks[i] - ticks[i - 1], 200);
    EXPECT_LE(ticks[i] - ticks[i - 1], 220);
  }
  EXPECT_EQ(BullFrames(run, run.Find("bull top-step")), std::vector<int>({3, 4, 6, 5, 6, 5, 6, 5, 4, 3}));
}

struct ExpectedAnswer {
  Strings reactions;
  int state, score, ladder, streak;
};

// Each answer of the run, in order: the state line after it and its reactions, which end with the verdict and the
// bull at rest.
void ExpectAnswers(const GameRun& run, const std::vector<ExpectedAnswer>& expected, const std::string& verdict) {
  const std::vector<int> answers = AnswerLines(run);
  ASSERT_EQ(answers.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("answer " + std::to_string(i + 1));
    const rules::StateLine s = StateAfter(run, answers[i]);
    EXPECT_EQ(s.state, expected[i].state);
    EXPECT_EQ(s.score, expected[i].score);
    EXPECT_EQ(s.ladder, expected[i].ladder);
    EXPECT_EQ(s.streak, expected[i].streak);
    EXPECT_EQ(ReactionsTo(run, answers[i]), Then(expected[i].reactions, {verdict, "bull idle"}));
  }
}

TEST(QuizRules, WrongAnswersAndPassesOnFalseAndTrueStatements) {
  {
    SCOPED_TRACE("false statements");
    Script script;
    script.False(500).Next(1200).True(1500).Next(2200).False(2500).Next(3200).False(3500).Next(4200);
    script.True(4500).Next(5200).Pass(5500).Next(6200).Escape(7000);
    const GameRun run = rules::Play(script, rules::OnlyFalse());
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    ExpectFullVolumeAndTheBullOnTheRight(run);
    ExpectAnswers(run,
                  {{kRight, 24, 125, 1, 1}, {kWrong, 22, 125, 0, 0}, {kRight, 24, 250, 1, 1},
                   {kRight, 24, 500, 2, 2}, {kAngry, 22, 500, 0, 0}, {kPass, 22, 500, 0, 0}},
                  "verdict FALSE");
  }
  {
    SCOPED_TRACE("true statements");
    Script script;
    script.True(500).Next(1200).True(1500).Next(2200).Pass(2500).Next(3200).True(3500).Next(4200);
    script.False(4500).Next(5200).True(5500).Next(6200).Escape(7000);
    const GameRun run = rules::Play(script, rules::OnlyTrue());
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    // A pass keeps the step and the score but clears the streak, so the wrong answer after it is not angry.
    ExpectAnswers(run,
                  {{kRight, 24, 125, 1, 1}, {kRight, 24, 375, 2, 2}, {kPass, 22, 375, 2, 0},
                   {kRight, 24, 875, 3, 1}, {kWrong, 22, 875, 0, 0}, {kRight, 24, 1000, 1, 1}},
                  "verdict TRUE");
    EXPECT_EQ(run.Find("time bonus"), -1) << "no three right answers in a row";
  }
}

TEST(QuizRules, TheBullReactsFrameByFrame) {
  Script script;
  script.False(500).Next(4000);                                      // wrong, streak 0
  script.Pass(4500).Next(7500);                                      // pass
  script.True(8000).Next(8700).True(9000).Next(9700).False(10000);   // wrong after two right ones
  script.Next(13500);
  script.Escape(23000);                                              // the idle loop runs meanwhile
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  // Entries 12 1 13 1 12 1 13 1 2 3 3 3 2 (wrong), ... 8 9 9 9 8 (angry), 11 14 11 15 11 14 11 15 11 (pass).
  EXPECT_EQ(BullFrames(run, run.Find("bull wrong")), std::vector<int>({11, 0, 12, 0, 11, 0, 12, 0, 1, 2, 2, 2, 1}));
  EXPECT_EQ(BullFrames(run, run.Find("bull angry")), std::vector<int>({11, 0, 12, 0, 11, 0, 12, 0, 7, 8, 8, 8, 7}));
  EXPECT_EQ(BullFrames(run, run.Find("bull pass")), std::vector<int>({10, 13, 10, 14, 10, 13, 10, 14, 10}));

  // The idle loop: 38 entries, one silent step, then again from its second entry.
  int idle = -1;
  for (int i = run.Find("bull idle"); i >= 0; i = run.Find("bull idle", i + 1)) idle = i;
  std::vector<int32_t> ticks;
  std::vector<int> frames = BullFrames(run, idle, &ticks);
  ASSERT_GE(frames.size(), 41u);
  const std::vector<int> loop = {1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 10, 10, 0, 0, 9, 9, 0, 0,
                                 10, 10, 0, 0, 9, 9, 0, 0, 12, 12, 12, 0, 0, 11, 11, 11, 0, 0, 1, 0, 0};
  EXPECT_EQ(std::vector<int>(frames.begin(), frames.begin() + 41), loop);
  EXPECT_GT(ticks[38] - ticks[37], 400) << "the loop's end takes one step without a frame";
  EXPECT_LE(ticks[38] - ticks[37], 440);
}

TEST(QuizRules, TheTimeBonusComesWhenTheThirdExplanationIsLeftAndIsCapped) {
  Script script;
  script.True(40000).Next(40700).True(41000).Next(41700).True(42000).Next(42700).True(43000).Next(43700);
  script.Escape(45000);
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  const std::vector<int> answers = AnswerLines(run);
  ASSERT_EQ(answers.size(), 4u);
  // The clock loses a second at every full second: 138 s are left at 42 s, and the third answer leaves it so.
  const rules::StateLine third = StateAfter(run, answers[2]);
  EXPECT_EQ(third.streak, 3);
  EXPECT_EQ(third.clock, 138);
  EXPECT_EQ(run.Texts("time bonus, clock "), Strings({"158"}));
  const int bonus = run.Find("time bonus");
  ASSERT_GT(bonus, answers[2]);
  EXPECT_GT(run.trace[bonus].tick, 42700) << "not before the explanation is left";
  EXPECT_EQ(run.trace[bonus - 1].text, "sound bling volume 65535 pan 0");
  const rules::StateLine fourth = StateAfter(run, answers[3]);
  EXPECT_EQ(fourth.streak, 1) << "the bonus starts the streak again";
  EXPECT_EQ(fourth.clock, 157);
}

TEST(QuizRules, PauseRevealAndExplanationTimesAndClicksDuringThePauseIgnored) {
  Script script;
  script.True(500);
  script.False(700).True(800).Pass(900);  // during the 500 ms pause
  script.False(1200);                     // during the explanation
  script.Next(1500);
  script.Pass(2000);                      // the explanation of a pass stays its full 10 seconds
  script.Escape(14000);
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  ASSERT_EQ(AnswerLines(run).size(), 2u) << "only the first click of each question is an answer";
  EXPECT_EQ(run.Find("sound drop"), -1);

  std::vector<rules::StateLine> states = run.States();
  auto next = [&](size_t i, int state) {
    for (size_t j = i + 1; j < states.size(); ++j)
      if (states[j].state == state) return j;
    return states.size();
  };
  size_t pause = next(0, 24);
  ASSERT_LT(pause, states.size());
  size_t reveal = next(pause, 22), shown = next(reveal, 23);
  ASSERT_LT(shown, states.size());
  EXPECT_GE(states[reveal].tick - states[pause].tick, 500);
  EXPECT_LT(states[reveal].tick - states[pause].tick, 510);
  EXPECT_GT(states[shown].tick - states[reveal].tick, 100);
  EXPECT_LE(states[shown].tick - states[reveal].tick, 120);
  EXPECT_EQ(states[shown].score, 125);
  EXPECT_EQ(states[shown].ladder, 1);

  const size_t passed = next(shown, 22), passShown = next(passed, 23), after = next(passShown, 20);
  ASSERT_LT(after, states.size());
  EXPECT_GT(states[passShown].tick - states[passed].tick, 100);
  EXPECT_LE(states[passShown].tick - states[passed].tick, 120);
  EXPECT_GT(states[after].tick - states[passShown].tick, 10000);
  EXPECT_LE(states[after].tick - states[passShown].tick, 10020);
}

TEST(QuizRules, SoundsAndAnimationsKeepTheirNames) {
  // Registered first and in this order, so the engine numbers them 10 to 26.
  const std::pair<const char*, const char*> sounds[17] = {
      {"bell", "sounds\\bell.wav"},         {"hammer", "sounds\\hammer.wav"},   {"neg", "sounds\\negative.wav"},
      {"pos", "sounds\\pos.wav"},           {"neutral", "sounds\\neutral.wav"}, {"drop", "sounds\\scdrop.wav"},
      {"poschart", "sounds\\poschart.wav"}, {"wrong", "sounds\\wrong.wav"},     {"check", "sounds\\select2.wav"},
      {"bling", "sounds\\bling2.wav"},      {"cheer", "sounds\\cheer3.wav"},    {"bull01", "sounds\\bull01.wav"},
      {"bull02", "sounds\\bull02.wav"},     {"bull03", "sounds\\bull03.wav"},   {"bull04", "sounds\\bull04.wav"},
      {"bull05", "sounds\\bull05.wav"},     {"bull06", "sounds\\bull06.wav"}};
  ASSERT_GE(kRegisteredSoundCount, 17);
  for (int i = 0; i < 17; ++i) {
    EXPECT_STREQ(SoundSpec(static_cast<GameSound>(i)).name, sounds[i].first);
    EXPECT_STREQ(SoundSpec(static_cast<GameSound>(i)).file, sounds[i].second);
  }
  EXPECT_EQ(SoundSpec(GameSound::kClick).file, nullptr) << "the menu's click has no file";
  const std::pair<BullAnimation, const char*> animationSounds[] = {
      {BullAnimation::kRight, "bull01"}, {BullAnimation::kTopStep, "bull02"},  {BullAnimation::kSpare, "bull03"},
      {BullAnimation::kWrong, "bull03"}, {BullAnimation::kAngry, "bull04"},    {BullAnimation::kPass, "bull05"},
      {BullAnimation::kGameOver, "bull06"}, {BullAnimation::kIdle, nullptr}};
  for (const auto& [animation, expected] : animationSounds) {
    const GameSoundSpec* sound = BullAnimationSound(static_cast<int32_t>(animation));
    if (expected) {
      ASSERT_NE(sound, nullptr);
      EXPECT_STREQ(sound->name, expected);
    } else {
      EXPECT_EQ(sound, nullptr) << "the idle loop is silent";
    }
  }
}

}  // namespace

TEST(QuizRules, TheStampTellsTheStatementsTruthAndTheResultLineTellsThePlayer) {
  // False statements: False is right, True is wrong, then a pass; the stamp says FALSE every time.
  Script script;
  script.False(500).Next(1200).True(1500).Next(2200).Pass(2500).Next(3200).Escape(4000);
  const GameRun run = rules::Play(script, rules::OnlyFalse());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  Strings stamped;
  for (const rules::Line& l : run.trace)
    if (l.text.rfind("verdict ", 0) == 0 || l.text.rfind("result ", 0) == 0) stamped.push_back(l.text);
  EXPECT_EQ(stamped, (Strings{"verdict FALSE", "result right", "verdict FALSE", "result wrong", "verdict FALSE",
                              "result pass"}));
}
