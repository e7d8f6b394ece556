#include "module_file.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace tolkara {

namespace {

std::optional<std::string> absolute(const std::string &path) {
  if (path.empty())
    return std::nullopt;
  std::error_code error;
  std::filesystem::path result = std::filesystem::absolute(path, error);
  if (error)
    return std::nullopt;
  return result.lexically_normal().string();
}

}  // namespace

std::optional<std::string> tolkaraFileName() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void *>(&tolkaraFileName), &info) == 0 || info.dli_fname == nullptr)
    return std::nullopt;
  return absolute(info.dli_fname);
}

std::optional<std::string> mainProgramFileName() {
  std::error_code error;
  std::filesystem::path target = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    return std::nullopt;
  return absolute(target.string());
}

std::optional<std::string> moduleFileName(void *dlHandle) {
  if (dlHandle == nullptr)
    return mainProgramFileName();
  link_map *map = nullptr;
  if (dlinfo(dlHandle, RTLD_DI_LINKMAP, &map) != 0 || map == nullptr)
    return std::nullopt;
  if (map->l_name == nullptr || map->l_name[0] == '\0')
    return mainProgramFileName();
  return absolute(map->l_name);
}

std::string directoryOf(const std::string &fileName) {
  std::size_t slash = fileName.rfind('/');
  return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

std::string baseNameOf(const std::string &fileName) {
  std::size_t slash = fileName.rfind('/');
  std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string languageLibraryPath(const std::string &tolkaraFile, const std::string &moduleFile,
                                const std::string &code) {
  return directoryOf(tolkaraFile) + baseNameOf(moduleFile) + code + ".so";
}

std::optional<std::string> languageLibraryPathFor(const std::string &moduleFile,
                                                  const std::string &code) {
  std::optional<std::string> own = tolkaraFileName();
  if (!own)
    return std::nullopt;
  return languageLibraryPath(*own, moduleFile, code);
}

bool isPresentFile(const std::string &path) {
  struct stat status {};
  return !path.empty() && stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

}  // namespace tolkara
