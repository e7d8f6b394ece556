#include "tessaly/object.h"

#include <mutex>

struct GCriticalSection {
    std::recursive_mutex mutex;
};

GSemaphor::GSemaphor()
{
    Init();
}

GSemaphor::~GSemaphor()
{
    delete m_Section;
    m_Section = nullptr;
}

void GSemaphor::Init()
{
    if (!m_Section)
        m_Section = new GCriticalSection;
}

void GSemaphor::Busy()
{
    if (m_Section)
        m_Section->mutex.lock();
}

void GSemaphor::Free()
{
    if (m_Section)
        m_Section->mutex.unlock();
}
