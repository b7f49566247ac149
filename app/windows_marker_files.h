// The poll cycle's marker-file port over the Win32 wide file functions (FindFirstFileW,
// FindNextFileW, FindClose, CreateFileW, ReadFile, DeleteFileW). Paths from fldigi are turned
// into wide characters by the rule of the host's texts, so a profile folder named in any
// script is found; names found are reported in UTF-8.
#pragma once

#include "app/poll/marker_files_port.h"

class WindowsMarkerFiles : public pollcycle::MarkerFilesPort {
  public:
    std::vector<pollcycle::MarkerEntry> find(const std::string& pattern) override;
    std::optional<pollcycle::MarkerContent> readTail(const std::string& path,
                                                     uint64_t maxBytes) override;
    bool remove(const std::string& path) override;
};
