// The texts of Twinview by number, from the module that supplies the
// program's resources: its language library when one is loaded, else the
// program's own built-in table.
#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>

class IStrings {
public:
    virtual ~IStrings() = default;
    // The text of `id`; empty when the table has none.
    virtual QString Get(int id) const = 0;

    // The text of `id` with its printf-style placeholders filled in.
    QString Format(int id, const QStringList& arguments) const;
};

// Reads the string table a loaded module carries: `module` is the handle of
// a language library that Tolkara loaded as an ordinary library, or null for
// the program's own built-in table. The table is read here, not by Tolkara,
// which is unloaded again right after start-up (and may be missing).
class CStringTable : public IStrings {
public:
    explicit CStringTable(void* module = nullptr);
    QString Get(int id) const override;
    void* Module() const { return m_module; }

private:
    void* m_module;
    const unsigned char* m_table = nullptr;
    std::size_t m_tableSize = 0;
};
