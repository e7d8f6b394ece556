#pragma once
// Diagnostic labels of the kernel.
//
// Long operations pass short labels ("Classify vertices", ...) to a trace
// hook. The default hook does nothing; a host or a test installs its own to
// follow the progress of an operation. The labels are neither errors nor log
// records, and the kernel never depends on what the hook does.

#include "tessaly/export.h"

typedef void (*GTraceHook)(const char* label);

// Installs a hook (null restores the default, which does nothing) and
// returns the previous one. Safe to call from any thread.
TESSALY_API GTraceHook GSetTraceHook(GTraceHook hook);

// Passes one label to the installed hook.
TESSALY_API void GTrace(const char* label);
