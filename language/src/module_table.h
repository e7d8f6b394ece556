// The string table that a loaded module carries under its exported symbol.
// Kept apart from the rest of the library so that a program can read its
// own table, and that of a language library it was handed, without Tolkara.
#ifndef TOLKARA_MODULE_TABLE_H
#define TOLKARA_MODULE_TABLE_H

#include "byte_view.h"

namespace tolkara {

// The table a loaded module exports; empty when it has none. The symbol must
// lie in that very module: a lookup through the main program's handle would
// otherwise find the table of some other loaded library.
ByteView tableOfLoadedModule(void *dlHandle);

}  // namespace tolkara

#endif
