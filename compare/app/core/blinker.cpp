#include "blinker.h"

std::optional<CBlinker::Bitmap> CBlinker::Tick()
{
    if (!m_active)
        return std::nullopt;
    const Bitmap shown = m_next;
    m_next = shown == Bitmap::Second ? Bitmap::First : Bitmap::Second;
    return shown;
}
