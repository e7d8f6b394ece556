// Result codes of automation errors. They are 32-bit values in the style of
// the automation world Twinview came from, so that a code printed in an error
// message means the same thing on every platform.
#pragma once

#include <cstdint>

namespace draftora {

enum ResultCode : std::uint32_t {
    kUnspecified = 0x80004005u,
    kInvalidArgument = 0x80070057u,
    kFileNotFound = 0x80070002u,
    kInvalidData = 0x8007000Du,
    kWriteFault = 0x8007001Du,
    kDisconnected = 0x80010108u,
    kServerUnavailable = 0x800706BAu,
    kTimedOut = 0x800705B4u,
};

// The system's explanation of a code, as shown under an automation error.
const char* SystemText(std::uint32_t code);

} // namespace draftora
