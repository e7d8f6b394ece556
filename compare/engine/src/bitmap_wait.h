// Waiting for the bitmap the engine writes. The engine may return from the
// macro before the file is there, or while it is still being written.
#pragma once

#include "twinview/sleeper.h"

#include <chrono>
#include <functional>
#include <string>

enum class BitmapState { Missing, Incomplete, Complete };

// Missing unless the path names a regular file; Complete when the file is a
// BMP whose header's size field equals the file's size.
BitmapState ProbeBitmapFile(const std::string& path);

using BitmapProbe = std::function<BitmapState(const std::string&)>;

inline constexpr int kBitmapProbes = 50;
inline constexpr std::chrono::milliseconds kBitmapProbeInterval{200};

// Up to 50 probes 200 ms apart until the file exists, then up to 50 more
// until it is complete. True when it is.
bool WaitForBitmap(const std::string& path, ISleeper& sleeper, const BitmapProbe& probe = ProbeBitmapFile);

// Removes a file left at the path by an earlier run, which the wait would
// otherwise take for the new bitmap. False when something stays there.
bool RemoveStaleBitmap(const std::string& path);
