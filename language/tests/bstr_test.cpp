// BSTR and VARIANT memory, and the string loaders' argument checks, in
// this process.
#include "loaded_module.h"
#include "missing_string_message.h"
#include "module_file.h"
#include "tolkara/tolkara.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

TEST(Bstr, AllocationCopiesAndTerminates) {
  const OLECHAR text[] = {'a', 0xE9, 'b'};
  BSTR copy = TolkaraSysAllocStringLen(text, 3);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(TolkaraSysStringLen(copy), 3u);
  EXPECT_EQ(std::memcmp(copy, text, sizeof text), 0);
  EXPECT_EQ(copy[3], 0);
  TolkaraSysFreeString(copy);
}

TEST(Bstr, NullTextGivesZeroesAndNullIsEmpty) {
  BSTR zeroes = TolkaraSysAllocStringLen(nullptr, 4);
  ASSERT_NE(zeroes, nullptr);
  EXPECT_EQ(TolkaraSysStringLen(zeroes), 4u);
  EXPECT_EQ(zeroes[0] | zeroes[3] | zeroes[4], 0);
  TolkaraSysFreeString(zeroes);
  EXPECT_EQ(TolkaraSysStringLen(nullptr), 0u);
  TolkaraSysFreeString(nullptr);
}

TEST(Bstr, ImpossibleLengthIsRefused) {
  EXPECT_EQ(TolkaraSysAllocStringLen(nullptr, 0xFFFFFFFFu), nullptr);
}

TEST(Variant, ClearFreesTheBstrAndEmptiesTheVariant) {
  VARIANT value;
  TolkaraVariantInit(&value);
  EXPECT_EQ(value.vt, VT_EMPTY);
  value.vt = VT_BSTR;
  value.bstrVal = TolkaraSysAllocStringLen(nullptr, 2);
  EXPECT_EQ(TolkaraVariantClear(&value), 0);
  EXPECT_EQ(value.vt, VT_EMPTY);
  EXPECT_EQ(value.bstrVal, nullptr);
  EXPECT_EQ(TolkaraVariantClear(nullptr), 0);
}

std::vector<std::string> boxes;
void captureBox(void *, const char *text, const char *caption) {
  boxes.push_back(std::string(caption) + "|" + text);
}

class StringLoaderArguments : public ::testing::Test {
protected:
  void SetUp() override {
    boxes.clear();
    TolkaraSetMessageHook(captureBox, nullptr);
  }
  void TearDown() override { TolkaraSetMessageHook(nullptr, nullptr); }
};

TEST_F(StringLoaderArguments, NullBufferOrNonPositiveSizeWritesNothing) {
  char buffer[8] = "keep";
  EXPECT_EQ(LoadLangString(nullptr, 1, 0, nullptr, 8), 0);
  EXPECT_EQ(LoadLangString(nullptr, 1, 0, buffer, 0), 0);
  EXPECT_EQ(LoadLangString(nullptr, 1, 0, buffer, -5), 0);
  EXPECT_EQ(TolkaraLoadString(nullptr, 1, 0, buffer, 0), 0);
  EXPECT_STREQ(buffer, "keep");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(StringLoaderArguments, ModuleNotLoadedGivesNothingWithoutAMessage) {
  char buffer[8] = "keep";
  EXPECT_EQ(LoadLangString("libnot-loaded-anywhere.so", 1, 0, buffer, 8), 0);
  EXPECT_STREQ(buffer, "");
  VARIANT value = LoadLangBSTRString("libnot-loaded-anywhere.so", 1, 0);
  EXPECT_EQ(value.vt, VT_BSTR);
  ASSERT_NE(value.bstrVal, nullptr);
  EXPECT_EQ(TolkaraSysStringLen(value.bstrVal), 0u);
  TolkaraVariantClear(&value);
  EXPECT_TRUE(boxes.empty());
}

TEST(LoadedModule, FindsTheMainProgramAndLibrariesByFileName) {
  auto main = tolkara::LoadedModule::find(nullptr);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(main->fileName(), tolkara::mainProgramFileName());
  auto byName = tolkara::LoadedModule::find("tolkara_unit_tests");
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(byName->fileName(), main->fileName());
  auto libc = tolkara::LoadedModule::find("libc.so.6");
  ASSERT_NE(libc, nullptr);
  EXPECT_NE(libc->fileName().find("libc.so.6"), std::string::npos);
  EXPECT_EQ(tolkara::LoadedModule::find("libc.so"), nullptr);
}

TEST(LoadedModule, TableIsReadThroughTheExportedSymbolOfThatModule) {
  void *library = dlopen(TOLKARA_TEST_LANGUAGE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  tolkara::StringTable table(tolkara::tableOfLoadedModule(library));
  EXPECT_EQ(table.lookup(1, 1031).text, u"de:one");
  dlclose(library);
}

TEST(LoadedModule, TableOfAnotherModuleInTheGlobalScopeIsNotTaken) {
  // The unit tests carry no table; a library loaded into the global scope
  // does, and a lookup through the main program's handle would find it.
  void *library = dlopen(TOLKARA_TEST_LANGUAGE_LIBRARY, RTLD_NOW | RTLD_GLOBAL);
  ASSERT_NE(library, nullptr) << dlerror();
  void *main = dlopen(nullptr, RTLD_NOW);
  ASSERT_NE(dlsym(main, "tolkara_string_table"), nullptr);
  EXPECT_EQ(tolkara::tableOfLoadedModule(main).size, 0u);
  dlclose(main);
  dlclose(library);
}

TEST(MissingStringMessage, TextsAreExact) {
  std::string first = tolkara::missingInModuleMessage(7, "/x/progde.so");
  EXPECT_EQ(first, "Can not find string with ID=7 in the module:\n /x/progde.so\n It will load "
                   "from main module.");
  std::string both = tolkara::missingEverywhereMessage(first, 7, "/x/prog");
  EXPECT_EQ(both, first + "\n\nCan not find string with ID=7 in the main module:\n /x/prog\n It "
                          "will replase with empty string.");
  EXPECT_EQ(tolkara::withSystemError(both, tolkara::LookupStatus::EmptyString), both);
  EXPECT_EQ(tolkara::withSystemError(both, tolkara::LookupStatus::NoTable),
            both + "\n\nSystem error: The module carries no string table.");
}

}  // namespace
