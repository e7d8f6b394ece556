#include "message_format.h"

namespace {

bool IsLengthModifier(QChar c)
{
    return c == 'l' || c == 'h';
}

bool IsConversion(QChar c)
{
    static const QString kConversions = QStringLiteral("sdiuxXcS");
    return kConversions.contains(c);
}

// Index just past the placeholder that starts at `percent`, or -1 when
// the text there is no placeholder we fill.
qsizetype PlaceholderEnd(const QString& format, qsizetype percent)
{
    qsizetype i = percent + 1;
    while (i < format.size() && IsLengthModifier(format[i]))
        ++i;
    return i < format.size() && IsConversion(format[i]) ? i + 1 : -1;
}

} // namespace

QString FormatMessage(const QString& format, const QStringList& arguments)
{
    QString text;
    qsizetype next = 0;
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            text += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            text += '%';
            ++i;
            continue;
        }
        const qsizetype end = PlaceholderEnd(format, i);
        if (end < 0) {
            text += '%';
            continue;
        }
        if (next < arguments.size())
            text += arguments[next];
        ++next;
        i = end - 1;
    }
    return text;
}
