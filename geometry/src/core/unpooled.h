#pragma once
// Objects of pooled classes placed on the general heap instead of their pool.
//
// The heap bookkeeping and the library's own static containers use these:
// the pooled heap of a class must never depend on itself, and a static that
// outlives GHeap::RemoveAllHeaps() must not free into a deleted heap.

#include <new>
#include <utility>

template <typename T, typename... Args> T* NewUnpooled(Args&&... args)
{
    void* memory = ::operator new(sizeof(T));
    try {
        return ::new (memory) T(std::forward<Args>(args)...);
    } catch (...) {
        ::operator delete(memory);
        throw;
    }
}

template <typename T> void DeleteUnpooled(T* object)
{
    if (!object)
        return;
    object->~T();
    ::operator delete(object);
}
