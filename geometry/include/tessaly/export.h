#pragma once
// Symbol visibility of the Tessaly kernel. The library is built with
// -fvisibility=hidden; only declarations marked TESSALY_API are exported.

#if defined(__GNUC__) || defined(__clang__)
#define TESSALY_API __attribute__((visibility("default")))
#else
#define TESSALY_API
#endif
