// Where fldigi leaves its contact marker file.
#pragma once

#include <string>

namespace pollcycle {

// The configuration directory with "/" turned into "\", followed by "\temp\log.adif".
std::string markerPathForConfigDir(const std::string& configDir);

}  // namespace pollcycle
