#include "platform/window/input_script.h"
#include "platform/window/messages.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(InputScript, ParsesEveryEventAndFormatsItBack) {
  const std::string text =
      "zorvel-script 1\r\nseed 42\r\n# a comment\r\n\r\n0 move 400 300\r\n10 ldown 400 300\r\n20 lup 400 300\r\n"
      "20 rdown 1 2\r\n30 rup 1 2\r\n40 keydown F1\r\n50 keyup ESCAPE\r\n60 activate\r\n70 clickactivate\r\n"
      "80 deactivate\r\n90 keymenu\r\n100 screenshot out/a.png\r\n110 close\r\n";
  InputScript script;
  std::string error;
  ASSERT_TRUE(ParseInputScript(text, &script, &error)) << error;
  ASSERT_TRUE(script.seed.has_value());
  EXPECT_EQ(42u, *script.seed);
  ASSERT_EQ(13u, script.events.size());
  EXPECT_EQ(ScriptEvent::Kind::LDown, script.events[1].kind);
  EXPECT_EQ(400, script.events[1].x);
  EXPECT_EQ(VK_F1, script.events[5].key);
  EXPECT_EQ("out/a.png", script.events[11].path);
  std::string again = "zorvel-script 1\n";
  for (const auto& e : script.events) again += FormatScriptEvent(e) + "\n";
  InputScript reparsed;
  ASSERT_TRUE(ParseInputScript(again, &reparsed, &error)) << error;
  ASSERT_EQ(script.events.size(), reparsed.events.size());
  for (size_t i = 0; i < script.events.size(); ++i)
    EXPECT_EQ(FormatScriptEvent(script.events[i]), FormatScriptEvent(reparsed.events[i]));
}

TEST(InputScript, ReportsTheLineOfEachMistake) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"", "line 1"},
      {"zorvel-script 2\n", "line 1"},
      {"zorvel-script 1\n5 jump\n", "line 2: unknown event"},
      {"zorvel-script 1\n5 move 1\n", "line 2: expected x and y"},
      {"zorvel-script 1\n5 keydown NOPE\n", "line 2: unknown key"},
      {"zorvel-script 1\n10 close\n5 close\n", "line 3: ticks must not go backwards"},
      {"zorvel-script 1\nx close\n", "line 2: expected a tick"},
      {"zorvel-script 1\n5 close now\n", "line 2: unexpected"},
      {"zorvel-script 1\nseed -4\n", "line 2: bad seed"},
      {"zorvel-script 1\n5 screenshot\n", "line 2: screenshot needs"},
  };
  for (const auto& c : cases) {
    InputScript script;
    std::string error;
    EXPECT_FALSE(ParseInputScript(c.text, &script, &error)) << c.text;
    EXPECT_NE(std::string::npos, error.find(c.expected)) << c.text << " gave: " << error;
  }
}

TEST(InputScript, TypedTextKeepsItsBlanksAndLettersAndIsWrittenBackOneCharacterALine) {
  platform::InputScript s;
  std::string error;
  ASSERT_TRUE(platform::ParseInputScript("zorvel-script 1\n10 text  Zo\xC3\xAB \n20 char 20013\n", &s, &error))
      << error;
  // One event a character: one blank ends the word, the rest is typed as it stands.
  ASSERT_EQ(s.events.size(), 6u);
  std::string typed;
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(s.events[i].kind, platform::ScriptEvent::Kind::Text);
    EXPECT_EQ(s.events[i].tick, 10u);
    typed += s.events[i].path;
  }
  EXPECT_EQ(typed, " Zo\xC3\xAB ");
  EXPECT_EQ(s.events[5].path, "\xE4\xB8\xAD");
  EXPECT_EQ(platform::FormatScriptEvent(s.events[3]), "10 char 235");
  // A written-back script reads as the same characters.
  std::string written = "zorvel-script 1\n";
  for (const auto& e : s.events) written += platform::FormatScriptEvent(e) + "\n";
  platform::InputScript again;
  ASSERT_TRUE(platform::ParseInputScript(written, &again, &error)) << error;
  ASSERT_EQ(again.events.size(), s.events.size());
  for (size_t i = 0; i < s.events.size(); ++i) EXPECT_EQ(again.events[i].path, s.events[i].path);
  // Nothing to type, or no character at all, is a mistake of its line.
  for (const char* bad : {"zorvel-script 1\n5 text\n", "zorvel-script 1\n5 char 0\n", "zorvel-script 1\n5 char x\n",
                          "zorvel-script 1\n5 char 1114112\n", "zorvel-script 1\n5 text Zo\xC3\n"}) {
    platform::InputScript t;
    EXPECT_FALSE(platform::ParseInputScript(bad, &t, &error)) << bad;
    EXPECT_EQ(error.rfind("line 2:", 0), 0u) << error;
  }
}
