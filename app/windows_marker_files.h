// The poll cycle's marker-file port over the Win32 wide file functions (FindFirstFileW,
// CreateFileW, ReadFile, WriteFile, FlushFileBuffers, MoveFileExW, DeleteFileW). Paths from
// fldigi are turned into wide characters by the rule of the host's texts, so a profile folder
// named in any script is found; names found are reported in UTF-8.
#pragma once

#include "app/poll/marker_files_port.h"

class WindowsMarkerFiles : public pollcycle::MarkerFilesPort {
  public:
    std::vector<pollcycle::MarkerEntry> find(const std::string& pattern) override;
    std::optional<std::string> read(const std::string& path, uint64_t offset,
                                    uint64_t maxBytes) override;
    bool remove(const std::string& path) override;
    bool rename(const std::string& from, const std::string& to) override;
    bool append(const std::string& path, const std::string& bytes) override;
    bool replace(const std::string& path, const std::string& bytes) override;
    std::string lastErrorText() override { return lastError_; }
    int64_t nowUtcSeconds() override;

  private:
    // Keeps the system's text for the error that just happened; returns false.
    bool failed();

    std::string lastError_;
};
