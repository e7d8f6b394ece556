// Fills the printf-style placeholders of a text from the string tables.
#pragma once

#include <QString>
#include <QStringList>

// Replaces each placeholder (%s, %d, %i, %u, %x, %X, %ld, %lX, ...) in turn
// with the next of `arguments`, already written as text, and "%%" by "%".
// A translation that asks for more arguments than there are gets empty
// text, one with a placeholder of an unknown kind keeps it literally: texts
// come from language libraries, and a faulty translation must not crash.
QString FormatMessage(const QString& format, const QStringList& arguments);
