#pragma once
// Small pooled classes used by the tests of the heaps.
#include "tessaly/object.h"

// A pooled class of 56 bytes, with a payload the tests fill and check.
class PooledProbe : public GObj {
    TESSALY_POOLED_CLASS(PooledProbe)

public:
    PooledProbe() = default;
    explicit PooledProbe(unsigned long tag) : GObj(tag) {}
    long payload[5] = {};
};

// A class derived from a pooled class that is larger than its base: it must
// not be served from the base's slots.
class LargerThanPooledProbe : public PooledProbe {
public:
    double extra[9] = {};
};
