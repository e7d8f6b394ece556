#include "process_test_fixture.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

extern char **environ;

namespace {

struct ProcessResult {
  int status = -1;
  std::string output;
};

// Runs `argv` with stdout to a pipe; stderr stays the test's, so sanitizer
// reports of the child show up in the test log.
ProcessResult run(const std::vector<std::string> &argv, const std::vector<std::string> &extraEnv) {
  std::vector<char *> args;
  for (const std::string &arg : argv)
    args.push_back(const_cast<char *>(arg.c_str()));
  args.push_back(nullptr);
  std::vector<char *> env(extraEnv.size());
  for (std::size_t i = 0; i < extraEnv.size(); ++i)
    env[i] = const_cast<char *>(extraEnv[i].c_str());
  for (char **entry = environ; *entry != nullptr; ++entry)
    env.push_back(*entry);
  env.push_back(nullptr);

  int pipeEnds[2];
  if (pipe(pipeEnds) != 0)
    return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  pid_t child = 0;
  int spawned = posix_spawn(&child, args[0], &actions, nullptr, args.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  ProcessResult result;
  char chunk[4096];
  for (ssize_t got; (got = read(pipeEnds[0], chunk, sizeof chunk)) > 0;)
    result.output.append(chunk, static_cast<std::size_t>(got));
  close(pipeEnds[0]);
  if (spawned == 0)
    waitpid(child, &result.status, 0);
  return result;
}

}  // namespace

void TolkaraProcess::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tolkara.test.XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  dir_ = pattern;
  std::filesystem::copy_file(TOLKARA_LIBRARY, dir_ / "libtolkara.so");
}

void TolkaraProcess::TearDown() { std::filesystem::remove_all(dir_); }

void TolkaraProcess::writeIni(const std::string &text) {
  std::ofstream(dir_ / "libtolkara.INI", std::ios::trunc) << text;
}

void TolkaraProcess::install(const std::string &fileName, const std::string &asName) {
  std::filesystem::copy_file(std::filesystem::path(TOLKARA_LANGUAGE_LIBRARIES) / fileName,
                             dir_ / (asName.empty() ? fileName : asName));
}

std::string TolkaraProcess::probeFile() {
  return std::filesystem::canonical(TOLKARA_PROBE).string();
}

std::vector<std::string> TolkaraProcess::probe(const std::vector<std::string> &commands,
                                               const std::vector<std::string> &environment) {
  std::vector<std::string> argv{TOLKARA_PROBE, path("libtolkara.so")};
  argv.insert(argv.end(), commands.begin(), commands.end());
  ProcessResult result = run(argv, environment);
  EXPECT_TRUE(WIFEXITED(result.status) && WEXITSTATUS(result.status) == 0)
      << "probe status " << result.status << "\n"
      << result.output;
  std::vector<std::string> lines;
  std::istringstream stream(result.output);
  for (std::string line; std::getline(stream, line);)
    lines.push_back(line);
  return lines;
}

std::string firstMessage(unsigned id, const std::string &sourceFile) {
  return "Can not find string with ID=" + std::to_string(id) + " in the module:\\n " + sourceFile +
         "\\n It will load from main module.";
}

std::string bothMessages(unsigned id, const std::string &sourceFile, const std::string &mainFile) {
  return firstMessage(id, sourceFile) + "\\n\\nCan not find string with ID=" + std::to_string(id) +
         " in the main module:\\n " + mainFile + "\\n It will replase with empty string.";
}
