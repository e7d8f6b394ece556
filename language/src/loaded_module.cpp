#include "loaded_module.h"

#include "module_file.h"

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <vector>

namespace tolkara {

namespace {

struct Candidate {
  std::string loaderName;  // as the dynamic loader knows it; empty: main program
  std::string fileName;    // absolute
};

int collect(dl_phdr_info *info, size_t, void *data) {
  auto &candidates = *static_cast<std::vector<Candidate> *>(data);
  std::string name = info->dlpi_name != nullptr ? info->dlpi_name : "";
  if (candidates.empty() && name.empty()) {
    if (auto main = mainProgramFileName())
      candidates.push_back({"", *main});
  } else if (!name.empty()) {
    std::error_code error;
    auto path = std::filesystem::absolute(name, error);
    if (!error)
      candidates.push_back({name, path.lexically_normal().string()});
  }
  return 0;
}

bool matches(const Candidate &candidate, const std::string &name) {
  if (name.find('/') == std::string::npos)
    return std::filesystem::path(candidate.fileName).filename() == name;
  std::error_code error;
  auto path = std::filesystem::absolute(name, error);
  return !error && path.lexically_normal().string() == candidate.fileName;
}

}  // namespace

std::unique_ptr<LoadedModule> LoadedModule::find(const char *name) {
  std::vector<Candidate> candidates;
  dl_iterate_phdr(collect, &candidates);
  for (const Candidate &candidate : candidates) {
    if (name != nullptr ? !matches(candidate, name) : !candidate.loaderName.empty())
      continue;
    const char *loaderName = candidate.loaderName.empty() ? nullptr : candidate.loaderName.c_str();
    void *handle = dlopen(loaderName, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
      return nullptr;
    return std::make_unique<LoadedModule>(handle, candidate.fileName);
  }
  return nullptr;
}

LoadedModule::~LoadedModule() { dlclose(handle_); }

}  // namespace tolkara
