// Runs tolkara-probe against a copy of libtolkara.so in a private temporary
// directory (with a dot in its name), with the INI file and language
// libraries that a test puts there.
#ifndef TOLKARA_PROCESS_TEST_FIXTURE_H
#define TOLKARA_PROCESS_TEST_FIXTURE_H

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class TolkaraProcess : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Writes libtolkara.INI beside the copy of the library.
  void writeIni(const std::string &text);
  // Copies a test language library beside the library, under its own name
  // or `asName`.
  void install(const std::string &fileName, const std::string &asName = "");
  // Runs the probe with `commands`; returns its output lines and expects a
  // clean exit.
  std::vector<std::string> probe(const std::vector<std::string> &commands,
                                 const std::vector<std::string> &environment = {});

  std::string path(const std::string &fileName) const { return (dir_ / fileName).string(); }
  // The probe's file name as the process itself sees it.
  static std::string probeFile();

  std::filesystem::path dir_;
};

// The first message of LoadLangString and LoadLangBSTRString, escaped as
// the probe prints it.
std::string firstMessage(unsigned id, const std::string &sourceFile);
std::string bothMessages(unsigned id, const std::string &sourceFile, const std::string &mainFile);

#endif
