#pragma once
// A private temporary directory (mode 0700) for a test's files, removed
// with everything in it when the object goes.

#include <string>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return m_Path + "/" + name; }
    const std::string& Path() const { return m_Path; }

private:
    std::string m_Path;
};

std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
