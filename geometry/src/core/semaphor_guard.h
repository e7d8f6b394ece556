#pragma once
#include "tessaly/object.h"

// Holds a GSemaphor for the lifetime of a scope, on every path out of it.
class GSemaphorGuard {
public:
    explicit GSemaphorGuard(GSemaphor& lock) : m_Lock(lock) { m_Lock.Busy(); }
    ~GSemaphorGuard() { m_Lock.Free(); }
    GSemaphorGuard(const GSemaphorGuard&) = delete;
    GSemaphorGuard& operator=(const GSemaphorGuard&) = delete;

private:
    GSemaphor& m_Lock;
};
