// The texts of Twinview by number, from the module that supplies the
// program's resources: its language library when one is loaded, else the
// program's own built-in table.
#pragma once

#include <QString>
#include <QStringList>

class IStrings {
public:
    virtual ~IStrings() = default;
    // The text of `id`; empty when the table has none.
    virtual QString Get(int id) const = 0;

    // The text of `id` with its printf-style placeholders filled in.
    QString Format(int id, const QStringList& arguments) const;
};

// Reads a Tolkara string table: `module` is a handle that LoadResExtDLL
// returned (a language library), or null for the program's own table.
class CStringTable : public IStrings {
public:
    explicit CStringTable(void* module = nullptr) : m_module(module) {}
    QString Get(int id) const override;
    void* Module() const { return m_module; }

private:
    void* m_module;
};
