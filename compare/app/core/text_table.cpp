#include "text_table.h"

#include "message_format.h"

#include <tolkara/tolkara.h>

#include <vector>

QString IStrings::Format(int id, const QStringList& arguments) const
{
    return FormatMessage(Get(id), arguments);
}

QString CStringTable::Get(int id) const
{
    if (id < 0)
        return {};
    // A string has at most 65535 UTF-16 units, three UTF-8 bytes each; start
    // small and grow only for long texts.
    std::vector<char> buffer(1024);
    for (;;) {
        const int size = static_cast<int>(buffer.size());
        const int length = TolkaraLoadString(m_module, static_cast<unsigned>(id), 0, buffer.data(), size);
        if (length < size - 4 || buffer.size() >= 65535u * 3 + 1)
            return QString::fromUtf8(buffer.data(), length);
        buffer.resize(65535u * 3 + 1);
    }
}
