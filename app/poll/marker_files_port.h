// The poll cycle's view of the file system: fldigi's contact marker file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pollcycle {

struct MarkerEntry {
    std::string name;  // file name only, as the directory search reports it
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;  // in the platform's file-time units
};

class MarkerFilesPort {
  public:
    virtual ~MarkerFilesPort() = default;
    // Every entry matching the search pattern (a path, possibly with wildcards), in the order
    // the search returns them. The search is closed before this returns. None found: empty.
    virtual std::vector<MarkerEntry> find(const std::string& pattern) = 0;
    // Deletes the file; false when it could not be deleted.
    virtual bool remove(const std::string& path) = 0;
};

}  // namespace pollcycle
