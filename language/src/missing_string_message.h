// The texts of the "Error" boxes for missing strings.
#ifndef TOLKARA_MISSING_STRING_MESSAGE_H
#define TOLKARA_MISSING_STRING_MESSAGE_H

#include "string_table.h"

#include <string>

namespace tolkara {

// The string is missing in `sourceFile` and will be taken from the main module.
std::string missingInModuleMessage(unsigned int id, const std::string &sourceFile);

// `firstMessage` followed by the sentence that the main module lacks the
// string too.
std::string missingEverywhereMessage(const std::string &firstMessage, unsigned int id,
                                     const std::string &mainFile);

// `message` followed by the reason why the main module has no block for the
// string; unchanged when the block was there.
std::string withSystemError(const std::string &message, LookupStatus mainLookup);

}  // namespace tolkara

#endif
