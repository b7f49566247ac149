// The poll cycle's marker-file port over the Win32 wide file functions (FindFirstFileW,
// GetFileAttributesExW, CreateFileW, ReadFile, WriteFile, FlushFileBuffers, MoveFileExW,
// DeleteFileW). Paths and names are UTF-8 both ways, so a profile folder named in any script is
// found. ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND and ERROR_NO_MORE_FILES mean "not there";
// every other error is a failure that says nothing about what is there.
#pragma once

#include "app/poll/marker_files_port.h"

class WindowsMarkerFiles : public pollcycle::MarkerFilesPort {
  public:
    pollcycle::FileSearch find(const std::string& pattern) override;
    pollcycle::FileProbe probe(const std::string& path) override;
    pollcycle::FileBytes read(const std::string& path, uint64_t offset, uint64_t maxBytes) override;
    bool remove(const std::string& path) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool append(const std::string& path, const std::string& bytes) override;
    bool replace(const std::string& path, const std::string& bytes) override;
    std::string lastErrorText() override { return lastError_; }
    int64_t nowUtcSeconds() override;

  private:
    // Keeps the system's text for the error that just happened; returns false.
    bool failed();
    // The same, and whether the error means "not there" or another failure.
    pollcycle::FileStatus failedStatus();

    std::string lastError_;
};
