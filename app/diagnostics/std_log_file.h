// The log file on disk, through the C library (wide paths on Windows).
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "app/diagnostics/diagnostic_log.h"

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
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using FileHandle = std::unique_ptr<std::FILE, Closer>;

    StdLogFile(std::string utf8Path, FileHandle file, uint64_t size);

    std::string path_;
    FileHandle file_;
    uint64_t size_;
};

}  // namespace diagnostics
