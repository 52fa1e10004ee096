#include <gtest/gtest.h>

#include "geodesy/Encoding.h"
#include "geodesy/Format.h"

namespace {
using namespace vemo;

TEST(Encoding, GbkRoundTripAndKnownBytes) {
  EXPECT_EQ(Utf8ToGbk(u8"北京54"), "\xB1\xB1\xBE\xA9" "54");
  EXPECT_EQ(GbkToUtf8("\xB1\xB1\xBE\xA9" "54"), u8"北京54");
  std::string text = u8"工程'测试'已存在,覆盖该工程? ABC xyz 123";
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk(text)), text);
}

TEST(Encoding, BadBytesAreReplacedNeverFatal) {
  // A lone lead byte at the end and an invalid pair.
  EXPECT_EQ(GbkToUtf8("AB\x81"), "AB\xEF\xBF\xBD");
  EXPECT_EQ(GbkToUtf8(std::string("A\xFF" "B", 3)), "A\xEF\xBF\xBD" "B");
  // Malformed UTF-8 and a character without GBK form.
  EXPECT_EQ(Utf8ToGbk("a\xC3"), "a?");
  EXPECT_EQ(Utf8ToGbk("x\xF0\x9F\x98\x80y"), "x?y");  // an emoji has no GBK form
  EXPECT_EQ(Utf8ToGbk(""), "");
}

TEST(Encoding, SystemTextsAreConvertedOnceAndWidthsCountGbkBytes) {
  const char* a = T(u8"处理信息");
  const char* b = T(u8"处理信息");
  EXPECT_EQ(a, b);
  EXPECT_EQ(std::string(a), Utf8ToGbk(u8"处理信息"));
  // Four Chinese characters are eight GBK bytes: a width of 10 pads with two blanks.
  EXPECT_EQ(Format("%10s|", a), std::string("  ") + a + "|");
}

TEST(Encoding, UpperCaseLeavesGbkTrailBytesAlone) {
  // GBK characters whose trail byte is a lower-case ASCII letter's code: 0xD3 0x66 ('f')
  // and 0xD6 0x61 ('a'). Upper-casing byte by byte would turn them into other characters.
  std::string name = std::string("k1") + "\xD3\x66" + "\xD6\x61" + "x";
  EXPECT_EQ(UpperGbk(name), std::string("K1") + "\xD3\x66" + "\xD6\x61" + "X");
  EXPECT_EQ(NormalizeName("  wgs84 \t"), "WGS84");
  EXPECT_TRUE(EqualNoCase("Demo.PRJ", "demo.prj"));
  EXPECT_FALSE(EqualNoCase("\xD3\x66", "\xD3\x46"));  // different characters, not case variants
}

TEST(Encoding, TrimKeepsInnerBlanks) {
  EXPECT_EQ(Trim("  a b \r\n"), "a b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a "), "  a");
  EXPECT_EQ(Trim(" \t "), "");
}

}  // namespace
