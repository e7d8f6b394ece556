// tolkara-strings: turns text string files into the C source of a string
// table.
//
//   tolkara-strings -o <output.c> <file.strings>...
#include "blob_writer.h"
#include "c_source_writer.h"
#include "string_file.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

int usage() {
  std::cerr << "usage: tolkara-strings -o <output.c> <file.strings>...\n";
  return 2;
}

std::string readFile(const std::string &path) {
  std::ifstream file(path, std::ios::binary);
  if (!file)
    throw tolkara::tools::StringFileError(path + ": cannot be read");
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Writes beside the target and renames, so a failed run leaves no half file
// that the build would take as up to date.
void writeFile(const std::string &path, const std::string &text) {
  std::string temporary = path + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << text;
    if (!file.flush())
      throw std::runtime_error(temporary + ": cannot be written");
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0)
    throw std::runtime_error(path + ": cannot be written");
}

}  // namespace

int main(int argc, char **argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() < 3 || args[0] != "-o")
    return usage();
  try {
    tolkara::tools::StringTableContents table;
    std::string origin;
    for (std::size_t i = 2; i < args.size(); ++i) {
      tolkara::tools::parseStringFile(readFile(args[i]), args[i], table);
      std::size_t slash = args[i].rfind('/');
      origin +=
          (origin.empty() ? "" : ", ") + args[i].substr(slash == std::string::npos ? 0 : slash + 1);
    }
    writeFile(args[1],
              tolkara::tools::writeCSource(tolkara::tools::writeStringTable(table), origin));
  } catch (const std::exception &error) {
    std::cerr << "tolkara-strings: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
