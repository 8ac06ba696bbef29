#include "common/utf8_text.h"

#include <gtest/gtest.h>

TEST(Utf8Text, WellFormedLettersReadWholeAndAnythingElseByteByByte) {
  const std::string name = "Zo\xC3\xAB \xC3\x86r\xC3\xB8";  // "Zoë Ærø"
  EXPECT_TRUE(utf8::IsValid(name));
  EXPECT_EQ(7u, utf8::LetterCount(name));
  const utf8::Letter e = utf8::LetterAt(name, 2);
  EXPECT_TRUE(e.valid);
  EXPECT_EQ(0xEBu, static_cast<unsigned>(e.code));
  EXPECT_EQ(2u, e.bytes);
  EXPECT_EQ(0u, utf8::LetterAt(name, name.size()).bytes);
  EXPECT_EQ(0x20ACu, static_cast<unsigned>(utf8::LetterAt("\xE2\x82\xAC", 0).code));  // euro sign, three bytes

  // Latin-1 bytes, a sequence cut short, overlong forms (of "/" in two, three and four bytes) and a surrogate are not
  // letters: each byte stands alone.
  for (const std::string& bad : {std::string("\xE9mile"), std::string("\xC3"), std::string("\xC3Z"),
                                 std::string("\xC1\xA9"), std::string("\xE0\x80\xAF"), std::string("\xF0\x80\x80\xAF"),
                                 std::string("\xED\xA0\x80"), std::string("\xF5\x80\x80\x80")}) {
    EXPECT_FALSE(utf8::IsValid(bad)) << bad;
    const utf8::Letter lone = utf8::LetterAt(bad, 0);
    EXPECT_FALSE(lone.valid);
    EXPECT_EQ(1u, lone.bytes);
    EXPECT_EQ(static_cast<unsigned char>(bad[0]), lone.code);
  }
  EXPECT_EQ(5u, utf8::LetterCount("\xE9mile"));

  EXPECT_EQ(name, "Zo" + utf8::Encode(0xEB) + " " + utf8::Encode(0xC6) + "r" + utf8::Encode(0xF8));
  EXPECT_EQ("\xE2\x82\xAC", utf8::Encode(0x20AC));
  EXPECT_EQ("U+00EB", utf8::CodePointName(0xEB));
}
