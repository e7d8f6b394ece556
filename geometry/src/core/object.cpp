#include "tessaly/object.h"

#include <new>

void GObj::print() {}

GObj::~GObj() = default;

void GObj::Copy(GObj*) {}

GObj* GObj::Duplicate()
{
    GObj* copy = new GObj(0);
    copy->Copy(this);
    return copy;
}

void* GObj::operator new(std::size_t size)
{
    return ::operator new(size);
}

void GObj::operator delete(void* p)
{
    ::operator delete(p);
}

void* GObj::operator new(std::size_t size, GMemoryAllocator* arena)
{
    if (size > static_cast<std::size_t>(0x7fffffff))
        throw std::bad_alloc();
    void* p = arena->alloc(static_cast<int>(size));
    if (!p)
        throw std::bad_alloc();
    return p;
}

void GObj::operator delete(void*, GMemoryAllocator*) {}
