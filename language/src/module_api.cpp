// Reading and freeing the module handles that LoadResExtDLL returns.
#include "tolkara/tolkara.h"

#include "c_boundary.h"
#include "data_module.h"
#include "loaded_module.h"
#include "text_convert.h"

#include <dlfcn.h>

namespace {

std::optional<tolkara::StringSource> sourceOf(TolkaraModule module) {
  if (auto data = tolkara::dataModuleSource(module))
    return data;
  if (module != nullptr)
    return tolkara::StringSource("", tolkara::tableOfLoadedModule(module));
  std::unique_ptr<tolkara::LoadedModule> main = tolkara::LoadedModule::find(nullptr);
  if (!main)
    return std::nullopt;
  return main->source();
}

}  // namespace

namespace {

int loadString(TolkaraModule module, unsigned int id, unsigned int language, char *buffer,
               int bufferSize) {
  if (buffer == nullptr || bufferSize <= 0)
    return 0;
  buffer[0] = '\0';
  std::optional<tolkara::StringSource> source = sourceOf(module);
  if (!source)
    return 0;
  std::optional<std::uint16_t> wanted;
  if (language != 0)
    wanted = static_cast<std::uint16_t>(language & 0xFFFF);
  tolkara::LookupResult found = source->lookup(id, wanted);
  if (found.status != tolkara::LookupStatus::Found)
    return 0;
  return tolkara::copyUtf8ToBuffer(tolkara::utf16ToUtf8(found.text), buffer, bufferSize);
}

}  // namespace

extern "C" int TolkaraLoadString(TolkaraModule module, unsigned int id, unsigned int language,
                                 char *buffer, int bufferSize) {
  return tolkara::guarded(0, [&] { return loadString(module, id, language, buffer, bufferSize); });
}

extern "C" void TolkaraFreeModule(TolkaraModule module) {
  if (module == nullptr || tolkara::closeDataModule(module))
    return;
  dlclose(module);
}
