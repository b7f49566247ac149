// Which Kebrin mode macro stands for an fldigi modem name.
#pragma once

#include <string>

namespace pollcycle {

// The macro of the first rule whose substring occurs in `modem` (case-sensitive), or nullptr
// when no rule matches and the name goes to the host's Mode property unchanged.
const char* modeMacroForModem(const std::string& modem);

}  // namespace pollcycle
