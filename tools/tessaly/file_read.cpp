#include "file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ReadRegularFile(const std::string& path, std::string& text, std::string& error)
{
    // Opened without waiting for a FIFO's writer, then checked on the open
    // descriptor itself.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = path + ": cannot open the file";
        return false;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        error = path + (S_ISDIR(info.st_mode) ? ": is a directory" : ": is not a regular file");
        return false;
    }
    text.clear();
    text.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(fd);
    if (n < 0)
        error = path + ": cannot read the file";
    return n == 0;
}
