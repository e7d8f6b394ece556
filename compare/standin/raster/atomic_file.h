#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <utility>

namespace draftora {

// Writes the pieces into a new file beside `path` and renames it to `path`
// only when everything is written, so that a reader never sees a partial
// file under the final name. Throws std::system_error; nothing is left
// behind on failure.
void WriteFileAtomically(const std::string& path, std::initializer_list<std::pair<const void*, std::size_t>> pieces);

} // namespace draftora
