// The poll cycle's view of the file system: fldigi's contact marker file and the bridge's own
// files beside it in fldigi's "temp" folder.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pollcycle {

struct MarkerEntry {
    std::string name;  // file name only, as the directory search reports it
};

// How a look at the file system went. "Not found" (no such file or folder, no more files) is
// an answer; anything else (access denied, sharing violation, a device error) says nothing
// about what is there.
enum class FileStatus { Ok, NotFound, Failed };

struct FileSearch {
    FileStatus status = FileStatus::NotFound;
    std::vector<MarkerEntry> entries;  // in the order the search returned them; Ok: not empty
};

struct FileBytes {
    FileStatus status = FileStatus::NotFound;
    std::string bytes;  // Ok only
};

struct FileProbe {
    FileStatus status = FileStatus::NotFound;
    uint64_t size = 0;  // Ok only
    uint64_t lastWriteTime = 0;
};

// Paths, patterns and names are UTF-8 (fldigi's folder as its port decoded it).
class MarkerFilesPort {
  public:
    virtual ~MarkerFilesPort() = default;
    // Every entry matching the search pattern (a path, possibly with wildcards). The search is
    // closed before this returns.
    virtual FileSearch find(const std::string& pattern) = 0;
    // Whether the file or folder is there, and its size: one cheap call, no search, no open.
    virtual FileProbe probe(const std::string& path) = 0;
    // At most `maxBytes` bytes of the file from `offset` (fewer at its end, none past it).
    virtual FileBytes read(const std::string& path, uint64_t offset, uint64_t maxBytes) = 0;
    // Deletes the file; false when it could not be deleted.
    virtual bool remove(const std::string& path) = 0;
    // Gives the file another name in the same folder; false when it could not (it is open
    // without shared deletion, or `to` exists).
    virtual bool rename(const std::string& from, const std::string& to) = 0;
    // Appends `bytes` to the file, creating it when there is none, and flushes them to disk
    // before it returns; false when that failed.
    virtual bool append(const std::string& path, const std::string& bytes) = 0;
    // Makes `bytes` the whole content of the file, flushed to disk; a reader (also after a
    // power cut) finds either the old content or the new one. False when that failed.
    virtual bool replace(const std::string& path, const std::string& bytes) = 0;
    // The platform's reason for the last operation that failed; empty when it gives none.
    virtual std::string lastErrorText() { return std::string(); }
    // Now, in seconds since 1970-01-01 00:00 UTC: the moment a record is found.
    virtual int64_t nowUtcSeconds() = 0;
};

}  // namespace pollcycle
