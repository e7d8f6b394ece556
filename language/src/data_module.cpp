#include "data_module.h"

#include "elf_section.h"
#include "string_table_format.h"

#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace tolkara {

namespace {

struct DataModule {
  std::string fileName;
  std::vector<unsigned char> blob;
};

// Data-file handles are the addresses of these records; the registry tells
// them apart from dlopen handles, which the same functions accept.
struct Registry {
  std::mutex mutex;
  std::map<void *, std::unique_ptr<DataModule>> modules;
};

Registry &registry() {
  static Registry instance;
  return instance;
}

}  // namespace

void *openDataModule(const std::string &path) {
  ElfSection section = readElfSection(path, format::kSectionName);
  if (section.status == ElfSectionStatus::BadFile)
    return nullptr;
  auto module = std::make_unique<DataModule>(DataModule{path, std::move(section.bytes)});
  void *handle = module.get();
  std::lock_guard<std::mutex> lock(registry().mutex);
  registry().modules.emplace(handle, std::move(module));
  return handle;
}

std::optional<StringSource> dataModuleSource(void *handle) {
  std::lock_guard<std::mutex> lock(registry().mutex);
  auto found = registry().modules.find(handle);
  if (found == registry().modules.end())
    return std::nullopt;
  const DataModule &module = *found->second;
  return StringSource(module.fileName, ByteView{module.blob.data(), module.blob.size()});
}

bool isDataModule(void *handle) {
  std::lock_guard<std::mutex> lock(registry().mutex);
  return registry().modules.count(handle) != 0;
}

bool closeDataModule(void *handle) {
  std::lock_guard<std::mutex> lock(registry().mutex);
  return registry().modules.erase(handle) != 0;
}

}  // namespace tolkara
