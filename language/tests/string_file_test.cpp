// The build tool: string files, blobs and the generated C source.
#include "blob_writer.h"
#include "c_source_writer.h"
#include "string_file.h"
#include "string_table.h"

#include <gtest/gtest.h>

namespace {

using tolkara::tools::parseStringFile;
using tolkara::tools::StringFileError;
using tolkara::tools::StringTableContents;

StringTableContents parse(const std::string &text) {
  StringTableContents table;
  parseStringFile(text, "t.strings", table);
  return table;
}

std::string errorOf(const std::string &text) {
  try {
    parse(text);
  } catch (const StringFileError &error) {
    return error.what();
  }
  return "no error";
}

TEST(StringFile, ReadsLanguageIdsAndTexts) {
  StringTableContents table = parse("# comment\n\n0x0407\n1 \"eins\"\n  17\t\"siebzehn\"  \n");
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table.at(1031).at(1), u"eins");
  EXPECT_EQ(table.at(1031).at(17), u"siebzehn");
}

TEST(StringFile, DecodesUtf8AndCEscapes) {
  StringTableContents table = parse("1033\n"
                                    "1 \"\xC3\xA9\xF0\x9F\x98\x80\"\n"
                                    "2 \"\\a\\b\\f\\n\\r\\t\\v\\\\\\'\\\"\\?\"\n"
                                    "3 \"\\101\\x42\\u00e9\\U0001F600\\0\"\n");
  EXPECT_EQ(table.at(1033).at(1), u"\u00E9\U0001F600");
  EXPECT_EQ(table.at(1033).at(2), u"\a\b\f\n\r\t\v\\'\"?");
  EXPECT_EQ(table.at(1033).at(3), std::u16string(u"AB\u00E9\U0001F600") + u'\0');
}

TEST(StringFile, SeveralFilesOfOneLanguageMerge) {
  StringTableContents table;
  parseStringFile("1033\n1 \"a\"\n", "a.strings", table);
  parseStringFile("1033\n2 \"b\"\n", "b.strings", table);
  EXPECT_EQ(table.at(1033).size(), 2u);
  EXPECT_THROW(parseStringFile("1033\n2 \"again\"\n", "c.strings", table), StringFileError);
}

TEST(StringFile, ReportsFileLineAndReason) {
  EXPECT_EQ(errorOf("1033\n1 \"ok\"\n2 \"\\q\"\n"), "t.strings:3: unknown escape \\q");
  EXPECT_EQ(errorOf("# only a comment\n"), "t.strings:2: no language identifier");
  EXPECT_EQ(errorOf("1033\n1 \"a\"\n1 \"b\"\n"), "t.strings:3: string id 1 given twice");
}

TEST(StringFile, RejectsMalformedLines) {
  for (const char *bad : {
           "70000\n",                         // language above 0xFFFF
           "1033 x\n",                        // junk after the language
           "1033\n1 \"open\n",                // unterminated
           "1033\n1 \"a\" b\n",               // text after the quote
           "1033\n1\"a\"\n",                  // no blank after the id
           "1033\nx \"a\"\n",                 // no id
           "1033\n1048560 \"a\"\n",           // block number above 0xFFFF
           "1033\n1 \"\\u12\"\n",             // short \u
           "1033\n1 \"\\uD800\"\n",           // surrogate code point
           "1033\n1 \"\xC3\"\n",              // truncated UTF-8
           "1033\n1 \"\xC0\xAF\"\n",          // overlong UTF-8
           "1033\n1 \"\xED\xA0\x80\"\n",      // UTF-8 encoded surrogate
           "1033\n1 \"\xF5\x80\x80\x80\"\n",  // beyond U+10FFFF
       })
    EXPECT_NE(errorOf(bad), "no error") << bad;
}

TEST(StringFile, HighestIdIsAccepted) {
  EXPECT_EQ(parse("1033\n1048559 \"last\"\n").at(1033).at(1048559), u"last");
}

TEST(BlobWriter, WrittenTableReadsBack) {
  StringTableContents table = parse("1036\n5 \"cinq\"\n40 \"quarante\"\n");
  std::vector<unsigned char> blob = tolkara::tools::writeStringTable(table);
  tolkara::StringTable reader(tolkara::ByteView{blob.data(), blob.size()});
  EXPECT_EQ(reader.lookup(5, 1036).text, u"cinq");
  EXPECT_EQ(reader.lookup(40, 1036).text, u"quarante");
  EXPECT_EQ(reader.lookup(6, 1036).status, tolkara::LookupStatus::EmptyString);
}

TEST(CSourceWriter, DefinesTheExportedTableInItsSection) {
  std::string source = tolkara::tools::writeCSource({0x54, 0x4b, 0xff}, "x.strings");
  EXPECT_NE(source.find("section(\".tolkara_strings\")"), std::string::npos);
  EXPECT_NE(source.find("visibility(\"default\")"), std::string::npos);
  EXPECT_NE(source.find("const unsigned char tolkara_string_table[3] = {"), std::string::npos);
  EXPECT_NE(source.find("0x54,0x4b,0xff,"), std::string::npos);
}

TEST(CSourceWriter, FileNamesCannotEndTheHeaderComment) {
  std::string source = tolkara::tools::writeCSource({1}, "a*/b.strings");
  std::size_t end = source.find("*/");
  ASSERT_GE(end, 13u);
  EXPECT_EQ(source.substr(end - 13, 15), "Do not edit. */");
  EXPECT_EQ(source.find("*/", end + 2), std::string::npos);
}

}  // namespace
