#pragma once
// Marks free pooled slots as unaddressable under AddressSanitizer, so that a
// use of a deleted pooled object is reported like one of a freed heap block.
// Without the sanitizer these do nothing.

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define TESSALY_POISONS_SLOTS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define TESSALY_POISONS_SLOTS 1
#endif
#endif

inline std::size_t PaddedSlotBytes(int itemSize)
{
    return (static_cast<std::size_t>(itemSize) + 7) & ~static_cast<std::size_t>(7);
}

inline void PoisonSlot(void* userArea, int itemSize)
{
#ifdef TESSALY_POISONS_SLOTS
    ASAN_POISON_MEMORY_REGION(userArea, PaddedSlotBytes(itemSize));
#else
    (void)userArea;
    (void)itemSize;
#endif
}

inline void UnpoisonSlot(void* userArea, int itemSize)
{
#ifdef TESSALY_POISONS_SLOTS
    ASAN_UNPOISON_MEMORY_REGION(userArea, PaddedSlotBytes(itemSize));
#else
    (void)userArea;
    (void)itemSize;
#endif
}
