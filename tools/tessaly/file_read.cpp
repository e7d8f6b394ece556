#include "file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>

#include "arguments.h"

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

bool ReadNumberLines(const std::string& path, const char* what, std::vector<NumberLine>& out, std::string& error)
{
    out.clear();
    std::string text;
    if (!ReadRegularFile(path, text, error))
        return false;
    std::istringstream in(text);
    std::string line;
    for (long number = 1; std::getline(in, line); ++number) {
        const std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        out.push_back({number, {}});
        if (!ParseNumberLine(line, out.back().numbers)) {
            error = path + ": line " + std::to_string(number) + ": expected " + what;
            return false;
        }
    }
    return true;
}
