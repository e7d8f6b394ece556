#include "twinview/private_temp_dir.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowErrno(const std::string& what)
{
    throw std::system_error(errno, std::generic_category(), what);
}

std::string UserTempDir()
{
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

void WriteAll(int fd, const std::string& contents, const std::string& path)
{
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ThrowErrno("cannot write " + path);
        done += static_cast<std::size_t>(n);
    }
}

} // namespace

CPrivateTempDir::CPrivateTempDir()
{
    std::string pattern = UserTempDir() + "/twinview-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    // mkdtemp makes the directory with mode 0700.
    if (!::mkdtemp(buffer.data()))
        ThrowErrno("cannot create a private temporary directory in " + UserTempDir());
    m_path = buffer.data();
}

CPrivateTempDir::~CPrivateTempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string CPrivateTempDir::NewFileName(const std::string& prefix, const std::string& suffix)
{
    for (;;) {
        std::string candidate = m_path + "/" + prefix + std::to_string(++m_counter) + suffix;
        struct stat st;
        if (::lstat(candidate.c_str(), &st) == 0)
            continue;
        if (errno == ENOENT)
            return candidate;
        // Any other failure (a name too long, the directory gone) would
        // fail again for every next number.
        ThrowErrno("cannot use " + candidate);
    }
}

std::string CPrivateTempDir::CreateFile(const std::string& prefix, const std::string& suffix,
                                        const std::string& contents)
{
    for (;;) {
        std::string path = m_path + "/" + prefix + std::to_string(++m_counter) + suffix;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            ThrowErrno("cannot create " + path);
        try {
            WriteAll(fd, contents, path);
        } catch (...) {
            ::close(fd);
            ::unlink(path.c_str());
            throw;
        }
        if (::close(fd) != 0) {
            ::unlink(path.c_str());
            ThrowErrno("cannot write " + path);
        }
        return path;
    }
}
