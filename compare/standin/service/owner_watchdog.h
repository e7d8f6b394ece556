// Ends the engine when the process that started it is gone, even while the
// engine is busy: the bus watcher of the main loop only notices an owner
// that left once the engine returns to its event loop, and a long render
// would keep it running without anyone to answer.
#pragma once

#include <sys/types.h>

#include <functional>

namespace draftora {

// Calls `onGone` on a thread of its own once process `pid` has ended (at
// once when there is no such process). The thread runs until then and is
// not joined: `onGone` is expected to end the process.
void WatchOwnerProcess(pid_t pid, std::function<void()> onGone);

} // namespace draftora
