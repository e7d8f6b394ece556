#pragma once
// Readers that take a path get the fuzzer's bytes through a file in a
// private directory of this process, named with the extension that selects
// the reader. The file is rewritten for every input.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

class InputFile {
public:
    explicit InputFile(const std::string& extension)
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessaly-fuzz.XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_Dir = pattern;
        m_Path = m_Dir + "/input" + extension;
    }
    ~InputFile()
    {
        ::unlink(m_Path.c_str());
        ::rmdir(m_Dir.c_str());
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Replaces the file's contents with the input; its path.
    const std::string& Write(const std::uint8_t* data, std::size_t size) const
    {
        std::FILE* f = std::fopen(m_Path.c_str(), "wb");
        if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) {
            std::perror(m_Path.c_str());
            std::abort();
        }
        return m_Path;
    }

private:
    std::string m_Dir;
    std::string m_Path;
};

} // namespace fuzz
