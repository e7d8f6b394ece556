#include "message_box.h"

#include "tolkara/tolkara.h"

#include <cstdio>
#include <mutex>

namespace tolkara {

namespace {

struct Hook {
  std::mutex mutex;
  TolkaraMessageHook function = nullptr;
  void *context = nullptr;
};

Hook &hook() {
  static Hook instance;
  return instance;
}

}  // namespace

void showErrorBox(const std::string &text) {
  TolkaraMessageHook function;
  void *context;
  {
    std::lock_guard<std::mutex> lock(hook().mutex);
    function = hook().function;
    context = hook().context;
  }
  if (function != nullptr)
    function(context, text.c_str(), "Error");
  else
    std::fprintf(stderr, "Error: %s\n", text.c_str());
}

}  // namespace tolkara

extern "C" void TolkaraSetMessageHook(TolkaraMessageHook function, void *context) {
  std::lock_guard<std::mutex> lock(tolkara::hook().mutex);
  tolkara::hook().function = function;
  tolkara::hook().context = context;
}
