#include "atomic_file.h"

#include <cerrno>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace draftora {

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

void WriteAll(int fd, const void* data, std::size_t size, const std::string& path)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            Fail("cannot write " + path);
        p += n;
        size -= static_cast<std::size_t>(n);
    }
}

} // namespace

void WriteFileAtomically(const std::string& path, std::initializer_list<std::pair<const void*, std::size_t>> pieces)
{
    std::string pattern = path + ".part-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        Fail("cannot create a file beside " + path);
    const std::string temporary = name.data();
    try {
        ::fchmod(fd, 0644);
        for (const auto& piece : pieces)
            WriteAll(fd, piece.first, piece.second, temporary);
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        Fail("cannot write " + temporary);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        Fail("cannot rename " + temporary + " to " + path);
    }
}

} // namespace draftora
