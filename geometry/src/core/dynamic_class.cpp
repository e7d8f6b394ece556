#include "tessaly/object.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstring>

namespace {

char* CopyString(const char* text)
{
    if (!text)
        return nullptr;
    std::size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

typedef GDynamicClass* (*NewInstanceFunction)();

} // namespace

GDynamicClass::GDynamicClass() = default;

GDynamicClass::~GDynamicClass()
{
    delete[] m_LibraryPath;
}

const char* GDynamicClass::___GetClassName()
{
    return "GDynamicClass";
}

int GDynamicClass::GetType()
{
    return 0;
}

const char* GDynamicClass::GetName()
{
    return "";
}

int GDynamicClass::MayBeUnload()
{
    return 1;
}

int GDynamicClass::TestExists(const char* path)
{
    return path && access(path, F_OK) == 0 ? 1 : 0;
}

int GDynamicClass::Load(GDynamicClass** out, const char* path)
{
    if (!out)
        return 0;
    *out = nullptr;
    if (!path)
        return 0;
    void* library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return 0;
    auto factory = reinterpret_cast<NewInstanceFunction>(dlsym(library, "NewInstance"));
    GDynamicClass* object = factory ? factory() : nullptr;
    if (!object) {
        dlclose(library);
        return 0;
    }
    object->m_Library = library;
    object->SetDllName(path);
    *out = object;
    return 1;
}

void GDynamicClass::Unload(GDynamicClass** p)
{
    if (!p || !*p)
        return;
    GDynamicClass* object = *p;
    void* library = object->m_Library;
    int mayUnload = object->MayBeUnload();
    // The object's code lives in its library: delete it first.
    delete object;
    if (library && mayUnload)
        dlclose(library);
    *p = nullptr;
}

void GDynamicClass::SetDllName(const char* path)
{
    char* copy = CopyString(path);
    delete[] m_LibraryPath;
    m_LibraryPath = copy;
}

GDummyDynamicClass::GDummyDynamicClass(const char* name, const char* libraryPath, int type)
    : m_Name(CopyString(name ? name : "")), m_Type(type)
{
    SetDllName(libraryPath);
}

GDummyDynamicClass::~GDummyDynamicClass()
{
    delete[] m_Name;
}

const char* GDummyDynamicClass::___GetClassName()
{
    return "GDummyDynamicClass";
}

int GDummyDynamicClass::GetType()
{
    return m_Type;
}

const char* GDummyDynamicClass::GetName()
{
    return m_Name;
}
