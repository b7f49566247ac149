// The poll cycle's marker-file port over the Win32 directory search (FindFirstFileA,
// FindNextFileA, FindClose) and DeleteFileA. Paths are ANSI texts.
#pragma once

#include "app/poll/marker_files_port.h"

class WindowsMarkerFiles : public pollcycle::MarkerFilesPort {
  public:
    std::vector<pollcycle::MarkerEntry> find(const std::string& pattern) override;
    bool remove(const std::string& path) override;
};
