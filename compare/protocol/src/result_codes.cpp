#include "draftora/result_codes.h"

namespace draftora {

const char* SystemText(std::uint32_t code)
{
    switch (code) {
    case kInvalidArgument: return "The parameter is incorrect.";
    case kFileNotFound: return "The system cannot find the file specified.";
    case kInvalidData: return "The data is invalid.";
    case kWriteFault: return "The system cannot write to the specified device.";
    case kDisconnected: return "The object invoked has disconnected from its clients.";
    case kServerUnavailable: return "The engine is not available.";
    case kTimedOut: return "This operation returned because the timeout period expired.";
    case kUnspecified:
    default: return "Unspecified error";
    }
}

} // namespace draftora
