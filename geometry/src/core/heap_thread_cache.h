#pragma once
// Per-thread magazines of free slots for the pooled classes.
//
// Every thread keeps, for each pooled heap it uses, a stack of free slots
// (room for about two blocks' worth). Object creation and deletion take from and give to that stack
// without any lock; only when it runs empty or full does the thread take
// the heap's lock, once, to move half a magazine of slots at a time, taken block by block. The
// slots stay accounted to their blocks while they wait in a magazine, so a
// block goes back only when its slots are back from every magazine too.
//
// A thread's magazines are returned to their heaps when the thread ends, or
// when it calls GHeap::RunGarbageCollector(). Magazines of a heap that was
// deleted meanwhile are dropped without touching their slots.

class GHeap;

namespace heap_thread_cache {

// A zero-filled slot of the heap.
void* Alloc(GHeap* heap);
// Takes back a slot of the heap.
void Free(GHeap* heap, void* p);
// Returns every slot the calling thread keeps to its heap.
void Flush();

} // namespace heap_thread_cache
