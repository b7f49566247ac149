#include "app/poll/marker_path.h"

#include <algorithm>

namespace pollcycle {

std::string markerPathForConfigDir(const std::string& configDir) {
    std::string path = configDir;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path + "\\temp\\log.adif";
}

}  // namespace pollcycle
