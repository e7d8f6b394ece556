// A directory of the process's own (mode 0700) under the user's temporary
// directory. Files in it have unique names and are created exclusively, so
// no other user can plant a link in their place and two running copies of
// Twinview never share a file. Removed with everything in it on destruction.
#pragma once

#include <string>

class CPrivateTempDir {
public:
    // Throws std::system_error when the directory cannot be made.
    CPrivateTempDir();
    ~CPrivateTempDir();
    CPrivateTempDir(const CPrivateTempDir&) = delete;
    CPrivateTempDir& operator=(const CPrivateTempDir&) = delete;

    const std::string& Path() const { return m_path; }

    // A name "<prefix><n><suffix>" in the directory that no file has yet; the
    // file is not created (the engine writes it). Throws std::system_error
    // when the name cannot be checked (too long, the directory gone).
    std::string NewFileName(const std::string& prefix, const std::string& suffix);

    // Creates a new file with a unique name and writes `contents` into it.
    // Throws std::system_error on failure.
    std::string CreateFile(const std::string& prefix, const std::string& suffix, const std::string& contents);

private:
    std::string m_path;
    unsigned long m_counter = 0;
};
