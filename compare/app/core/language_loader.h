// Finding the language library at start-up: Tolkara is loaded by name, asked
// for the program's language library, and unloaded again at once; the
// language library stays loaded as the program's resource module.
#pragma once

#include <string>

class IDynamicLibraries {
public:
    virtual ~IDynamicLibraries() = default;
    virtual void* Open(const std::string& name) = 0;
    virtual void* Symbol(void* library, const std::string& name) = 0;
    virtual void Close(void* library) = 0;
};

// dlopen (RTLD_NOW | RTLD_LOCAL), dlsym and dlclose.
class CSystemLibraries : public IDynamicLibraries {
public:
    void* Open(const std::string& name) override;
    void* Symbol(void* library, const std::string& name) override;
    void Close(void* library) override;
};

inline const char* const kTolkaraLibrary = "libtolkara.so";

// The language library's handle, or null (no Tolkara, no export, no
// library): then the program's own strings are used. Never a message.
void* LoadLanguageLibrary(IDynamicLibraries& libraries, const std::string& tolkara = kTolkaraLibrary);
