#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace draftora {

// A failed engine operation: a result code (see result_codes.h) and the
// engine's description. Sent to the caller as an automation error.
class EngineError : public std::runtime_error {
public:
    EngineError(std::uint32_t code, const std::string& description) : std::runtime_error(description), m_code(code) {}
    std::uint32_t Code() const { return m_code; }

private:
    std::uint32_t m_code;
};

} // namespace draftora
