// UTF-16 to UTF-8 conversion and the cuts that keep characters whole.
#ifndef TOLKARA_TEXT_CONVERT_H
#define TOLKARA_TEXT_CONVERT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace tolkara {

// Lone surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// The longest prefix of at most `maxUnits` units that does not end between
// the two halves of a surrogate pair.
std::size_t utf16CutLength(std::u16string_view text, std::size_t maxUnits);

// The longest prefix of at most `maxBytes` bytes that does not end inside a
// UTF-8 sequence.
std::size_t utf8CutLength(std::string_view text, std::size_t maxBytes);

// Copies `text` into a buffer of `bufferSize` bytes (> 0), cut at a
// character boundary and terminated. Returns the bytes stored.
int copyUtf8ToBuffer(std::string_view text, char *buffer, int bufferSize);

}  // namespace tolkara

#endif
