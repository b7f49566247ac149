// The poll cycle's view of the file system: fldigi's contact marker file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pollcycle {

struct MarkerEntry {
    std::string name;  // file name only, as the directory search reports it
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;  // in the platform's file-time units
};

// The end of a file: its bytes from `offset` to the end.
struct MarkerContent {
    uint64_t offset = 0;
    std::string bytes;
};

// Paths and patterns are texts from fldigi: UTF-8 when they hold well-formed UTF-8 with a byte
// of 0x80 or more, else in the ANSI code page (the rule of the host's texts).
class MarkerFilesPort {
  public:
    virtual ~MarkerFilesPort() = default;
    // Every entry matching the search pattern (a path, possibly with wildcards), in the order
    // the search returns them. The search is closed before this returns. None found: empty.
    virtual std::vector<MarkerEntry> find(const std::string& pattern) = 0;
    // The last `maxBytes` bytes of the file (all of it when it is no larger); no value when it
    // cannot be opened or read.
    virtual std::optional<MarkerContent> readTail(const std::string& path, uint64_t maxBytes) = 0;
    // Deletes the file; false when it could not be deleted.
    virtual bool remove(const std::string& path) = 0;
};

}  // namespace pollcycle
