// A log file in memory: the current file and the one moved aside to ".1".
#pragma once

#include <string>

#include "app/diagnostics/diagnostic_log.h"

namespace diagnostics::testing {

struct MemoryFiles {
    std::string current;
    std::string older;
    int rotations = 0;
    std::string rotationProblem;  // non-empty: the move fails and the file is emptied
};

class MemoryLogFile : public LogFile {
  public:
    explicit MemoryLogFile(MemoryFiles& files) : files_(files) {}
    uint64_t size() const override { return files_.current.size(); }
    void append(std::string_view bytes) override { files_.current.append(bytes); }
    std::string rotate() override {
        ++files_.rotations;
        if (files_.rotationProblem.empty()) {
            files_.older = std::move(files_.current);
        }
        files_.current.clear();
        return files_.rotationProblem;
    }

  private:
    MemoryFiles& files_;
};

inline LocalTimestamp fixedTime() {
    return LocalTimestamp{2026, 12, 8, 9, 5, 3, 7};
}

}  // namespace diagnostics::testing
