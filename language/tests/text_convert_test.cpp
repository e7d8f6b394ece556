// Conversions and the cuts that keep characters whole.
#include "text_convert.h"

#include <gtest/gtest.h>

namespace {

using tolkara::copyUtf8ToBuffer;
using tolkara::utf16CutLength;
using tolkara::utf16ToUtf8;
using tolkara::utf8CutLength;

TEST(Utf16Cut, KeepsShortTextWhole) {
  EXPECT_EQ(utf16CutLength(u"abc", 255), 3u);
  EXPECT_EQ(utf16CutLength(std::u16string(255, u'x'), 255), 255u);
}

TEST(Utf16Cut, NeverSplitsASurrogatePair) {
  std::u16string pairAtCut = std::u16string(254, u'a') + u"\U0001F600" + u"b";
  EXPECT_EQ(utf16CutLength(pairAtCut, 255), 254u);
  std::u16string pairBeforeCut = std::u16string(253, u'a') + u"\U0001F600" + u"b";
  EXPECT_EQ(utf16CutLength(pairBeforeCut, 255), 255u);
}

TEST(Utf16Cut, LoneHighSurrogateAtCutIsKept) {
  std::u16string lone = std::u16string(254, u'a') + u'\xD83D' + u'b';
  EXPECT_EQ(utf16CutLength(lone, 255), 255u);
}

TEST(Utf16ToUtf8, EncodesAllLengthsAndReplacesLoneSurrogates) {
  EXPECT_EQ(utf16ToUtf8(u"A\u00E9\u20AC\U0001F600"), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(utf16ToUtf8(std::u16string{u'\xD800', u'x'}), "\xEF\xBF\xBDx");
  EXPECT_EQ(utf16ToUtf8(std::u16string{u'\xDC00'}), "\xEF\xBF\xBD");
}

TEST(Utf8Cut, StopsBeforeASplitCharacter) {
  std::string text = "a\xC3\xA9\xE2\x82\xAC";  // a, e acute, euro
  EXPECT_EQ(utf8CutLength(text, 6), 6u);
  EXPECT_EQ(utf8CutLength(text, 5), 3u);
  EXPECT_EQ(utf8CutLength(text, 4), 3u);
  EXPECT_EQ(utf8CutLength(text, 2), 1u);
  EXPECT_EQ(utf8CutLength(text, 0), 0u);
}

TEST(Utf8Buffer, CountsBytesAndTerminates) {
  char buffer[7];
  std::fill(std::begin(buffer), std::end(buffer), 'X');
  // Room for five bytes: "Grö" and half of the "ß" that follows.
  EXPECT_EQ(copyUtf8ToBuffer("Gr\xC3\xB6\xC3\x9F"
                             "e",
                             buffer, 6),
            4);
  EXPECT_STREQ(buffer, "Gr\xC3\xB6");
  EXPECT_EQ(buffer[5], 'X');
  EXPECT_EQ(copyUtf8ToBuffer("anything", buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
}

}  // namespace
