// The log file on disk, through the C library (wide paths on Windows).
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "app/diagnostics/diagnostic_log.h"
#include "base/c_file.h"

namespace diagnostics {

class StdLogFile : public LogFile {
  public:
    // Opens `utf8Path` for appending (creating it when absent). On failure the result is empty
    // and `problem` says why.
    static std::unique_ptr<StdLogFile> open(const std::string& utf8Path, std::string& problem);

    uint64_t size() const override { return size_; }
    void append(std::string_view bytes) override;
    std::string rotate() override;

  private:
    StdLogFile(std::string utf8Path, CFile file, uint64_t size);

    std::string path_;
    CFile file_;
    uint64_t size_;
};

}  // namespace diagnostics
