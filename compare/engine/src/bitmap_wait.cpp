#include "bitmap_wait.h"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::uint32_t LittleEndian32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Reads the first six bytes: "BM" and the size field.
bool HeaderSizeMatches(int fd, off_t fileSize)
{
    unsigned char header[6];
    std::size_t got = 0;
    while (got < sizeof header) {
        const ssize_t n = ::read(fd, header + got, sizeof header - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return header[0] == 'B' && header[1] == 'M' && LittleEndian32(header + 2) == fileSize;
}

bool Poll(const std::string& path, ISleeper& sleeper, const BitmapProbe& probe, BitmapState wanted)
{
    for (int attempt = 1;; ++attempt) {
        const BitmapState state = probe(path);
        if (state == wanted || state == BitmapState::Complete)
            return true;
        if (attempt == kBitmapProbes)
            return false;
        sleeper.Sleep(kBitmapProbeInterval);
    }
}

} // namespace

BitmapState ProbeBitmapFile(const std::string& path)
{
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return BitmapState::Missing;
    // Non-blocking, in case something else than a file appeared meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return BitmapState::Incomplete;
    const bool complete = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && HeaderSizeMatches(fd, st.st_size);
    ::close(fd);
    return complete ? BitmapState::Complete : BitmapState::Incomplete;
}

bool WaitForBitmap(const std::string& path, ISleeper& sleeper, const BitmapProbe& probe)
{
    return Poll(path, sleeper, probe, BitmapState::Incomplete) && Poll(path, sleeper, probe, BitmapState::Complete);
}

bool RemoveStaleBitmap(const std::string& path)
{
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return false;
    struct stat st;
    return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}
