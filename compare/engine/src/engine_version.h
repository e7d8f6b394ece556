#pragma once

#include <string>

// The leading decimal integer of an engine's version text ("20.1" gives 20),
// after optional white space and sign; 0 when there is none.
int LeadingInteger(const std::string& text);
