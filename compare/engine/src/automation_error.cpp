#include "twinview/automation_error.h"

#include <cstdio>

CAutomationError::CAutomationError(std::string source, std::uint32_t code, std::string description,
                                   std::string systemText)
    : std::runtime_error(description), m_source(std::move(source)), m_code(code), m_description(std::move(description)),
      m_systemText(std::move(systemText))
{
}

std::string CAutomationError::Message(const std::string& label) const
{
    // The code is printed as a 32-bit value: a 64-bit long would sign-extend
    // codes with the top bit set into sixteen digits.
    char code[16];
    std::snprintf(code, sizeof code, "%X", static_cast<unsigned>(m_code));
    const std::string where = label.empty() ? " Error: " : " Error(" + label + "): ";
    return "\n" + m_source + where + code + "\r\n" + m_description + "\r\n" + m_systemText + "\r\n";
}
