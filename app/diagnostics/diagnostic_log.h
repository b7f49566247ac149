// The diagnostic log: one UTF-8 line per event, each starting with the local time to the
// millisecond, appended to a file that never grows past its limit. On reaching the limit the
// file is renamed with the suffix ".1" (replacing an older one) and a new file starts.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "app/diagnostics/log_line.h"

namespace diagnostics {

inline constexpr uint64_t kLogLimitBytes = 10ull * 1024 * 1024;
// Longer events are cut (with a note of how much was left out), so one line never fills
// the file.
inline constexpr std::size_t kLongestEvent = 8 * 1024;

// The file under the log. Writes go out at once: the process may end without warning.
class LogFile {
  public:
    virtual ~LogFile() = default;
    virtual uint64_t size() const = 0;
    // Appends the bytes; failures are ignored (the log never stops the bridge).
    virtual void append(std::string_view bytes) = 0;
    // Moves the file aside to its name with ".1" and starts an empty one. When it cannot be
    // moved, the file is emptied instead; returns why it could not be moved, else empty.
    virtual std::string rotate() = 0;
};

class DiagnosticLog {
  public:
    using Clock = std::function<LocalTimestamp()>;

    explicit DiagnosticLog(std::unique_ptr<LogFile> file, uint64_t limitBytes = kLogLimitBytes,
                           Clock clock = localNow);

    // Writes "<time> <event>\n"; the event is made a single line of valid UTF-8.
    void write(std::string_view event);

  private:
    void appendLine(const std::string& line);

    std::unique_ptr<LogFile> file_;
    uint64_t limitBytes_;
    Clock clock_;
};

}  // namespace diagnostics
