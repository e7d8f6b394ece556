#include "text_table.h"

#include "message_format.h"

#include <module_table.h>
#include <string_table.h>

#include <dlfcn.h>

#include <optional>

namespace {

// The program's own table: its exported table, looked up through the handle
// of the main program so that no library's table is taken for it.
tolkara::ByteView ProgramTable()
{
    static const tolkara::ByteView table = [] {
        void* program = ::dlopen(nullptr, RTLD_NOW);
        const tolkara::ByteView own = program ? tolkara::tableOfLoadedModule(program) : tolkara::ByteView{};
        if (program)
            ::dlclose(program);
        return own;
    }();
    return table;
}

} // namespace

QString IStrings::Format(int id, const QStringList& arguments) const
{
    return FormatMessage(Get(id), arguments);
}

CStringTable::CStringTable(void* module) : m_module(module)
{
    const tolkara::ByteView table = module ? tolkara::tableOfLoadedModule(module) : ProgramTable();
    m_table = table.data;
    m_tableSize = table.size;
}

QString CStringTable::Get(int id) const
{
    if (id < 0)
        return {};
    // The language-neutral lookup: the neutral block, else US English, else
    // the first language the table has.
    const tolkara::StringTable table(tolkara::ByteView{m_table, m_tableSize});
    const tolkara::LookupResult found = table.lookup(static_cast<std::uint32_t>(id), std::nullopt);
    if (found.status != tolkara::LookupStatus::Found)
        return {};
    return QString::fromUtf16(found.text.data(), static_cast<qsizetype>(found.text.size()));
}
