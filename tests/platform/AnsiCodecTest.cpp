#include "platform/AnsiCodec.h"

#include <gtest/gtest.h>
#include <stdexcept>

using trelmig::AnsiCodec;

TEST(AnsiCodec, WesternCodePageConvertsBothWays) {
    AnsiCodec codec(1252);
    EXPECT_EQ(codec.fromUtf8("Pers\xC3\xB6nlich \xC3\xA9 \xE2\x82\xAC"), "Pers\xF6nlich \xE9 \x80");
    EXPECT_EQ(codec.toUtf8("Pers\xF6nlich \xE9 \x80"), "Pers\xC3\xB6nlich \xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(codec.fromUtf8(""), "");
    EXPECT_EQ(codec.toUtf8(""), "");
}

TEST(AnsiCodec, UnmappableCharactersBecomeQuestionMarks) {
    AnsiCodec codec(1252);
    // One "?" per character, whatever its UTF-8 length; the rest is kept.
    EXPECT_EQ(codec.fromUtf8("a\xE4\xB8\xAD"
                             "b"),
              "a?b");
    EXPECT_EQ(codec.fromUtf8("\xE4\xB8\xAD\xE6\x96\x87"), "??");
    EXPECT_EQ(codec.fromUtf8("x\xF0\x9F\x98\x80y"), "x?y");
    // Malformed UTF-8 and a sequence cut short at the end.
    EXPECT_EQ(codec.fromUtf8("a\xFF"
                             "b"),
              "a?b");
    EXPECT_EQ(codec.fromUtf8("ab\xE4\xB8"), "ab?");
    // 0x81 has no character in code page 1252.
    EXPECT_EQ(codec.toUtf8("a\x81"
                           "b"),
              "a?b");
}

TEST(AnsiCodec, ChineseCodePageRoundTrip) {
    AnsiCodec codec(936);
    const std::string utf8 = "\xE4\xB8\xAD\xE6\x96\x87 Outlook.pst";
    const std::string gbk = codec.fromUtf8(utf8);
    EXPECT_EQ(gbk, "\xD6\xD0\xCE\xC4 Outlook.pst");
    EXPECT_EQ(codec.toUtf8(gbk), utf8);
    // A lead byte without its trail byte.
    EXPECT_EQ(codec.toUtf8("ab\xD6"), "ab?");
}

TEST(AnsiCodec, UnicodeAndAsciiCodePages) {
    AnsiCodec utf8(65001);
    EXPECT_EQ(utf8.fromUtf8("\xC3\xA9\xE4\xB8\xAD"), "\xC3\xA9\xE4\xB8\xAD");
    EXPECT_EQ(utf8.toUtf8("a\xFF"), "a?");
    AnsiCodec ascii(20127);
    EXPECT_EQ(ascii.fromUtf8("caf\xC3\xA9"), "caf?");
}

TEST(AnsiCodec, CodePageFromRegistryText) {
    EXPECT_EQ(AnsiCodec::codePageFromAcp("1252"), 1252u);
    EXPECT_EQ(AnsiCodec::codePageFromAcp("936"), 936u);
    EXPECT_EQ(AnsiCodec::codePageFromAcp(" 1251 "), 1251u);
    EXPECT_EQ(AnsiCodec::codePageFromAcp(""), 1252u);
    EXPECT_EQ(AnsiCodec::codePageFromAcp("12x2"), 1252u);
    EXPECT_EQ(AnsiCodec::codePageFromAcp("-936"), 1252u);
    EXPECT_EQ(AnsiCodec::codePageFromAcp("0"), 1252u);
    EXPECT_EQ(AnsiCodec::codePageFromAcp("99999"), 1252u);
    EXPECT_EQ(AnsiCodec::codePageFromAcp("123456789012345"), 1252u);
}

TEST(AnsiCodec, UnknownCodePageIsRefused) {
    EXPECT_FALSE(AnsiCodec::isSupported(99999));
    EXPECT_THROW(AnsiCodec(99999), std::invalid_argument);
}
