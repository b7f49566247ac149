// Host calls in the readable form the demo prints ("SetQsoField call      = \"DL1ABC\"").
#pragma once

#include <cstdint>
#include <string>

namespace diagnostics {

// The texts are UTF-8 already.
std::string describeSetQsoField(int32_t index, const std::string& text);
std::string describeFrequency(double hertz);
std::string describeRunMacro(const std::string& macro);
std::string describeMode(const std::string& mode);

}  // namespace diagnostics
