// The error an engine call raises: where it came from, a 32-bit result code,
// the engine's description and the system's explanation of the code.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

class CAutomationError : public std::runtime_error {
public:
    CAutomationError(std::string source, std::uint32_t code, std::string description, std::string systemText);

    const std::string& Source() const { return m_source; }
    std::uint32_t Code() const { return m_code; }
    const std::string& Description() const { return m_description; }
    const std::string& SystemText() const { return m_systemText; }

    // The text shown to the user for an error that ended the step `label`:
    // "\n<source> Error(<label>): <code in hex>\r\n<description>\r\n<system>\r\n",
    // or without the parenthesised label when `label` is empty.
    std::string Message(const std::string& label) const;

private:
    std::string m_source;
    std::uint32_t m_code;
    std::string m_description;
    std::string m_systemText;
};
