#include "app/diagnostics/diagnostic_log.h"

namespace diagnostics {

DiagnosticLog::DiagnosticLog(std::unique_ptr<LogFile> file, uint64_t limitBytes, Clock clock)
    : file_(std::move(file)), limitBytes_(limitBytes), clock_(std::move(clock)) {}

void DiagnosticLog::write(std::string_view event) {
    std::string text = singleLine(validUtf8(event));
    if (text.size() > kLongestEvent) {
        const std::size_t cut = text.size() - kLongestEvent;
        text.resize(kLongestEvent);
        text = validUtf8(text) + " ... (" + std::to_string(cut) + " bytes more)";
    }
    appendLine(formatTimestamp(clock_()) + " " + text + "\n");
}

void DiagnosticLog::appendLine(const std::string& line) {
    if (file_->size() > 0 && file_->size() + line.size() > limitBytes_) {
        const std::string problem = file_->rotate();
        if (!problem.empty()) {
            file_->append(formatTimestamp(clock_()) + " the older log could not be kept as .1 (" +
                          singleLine(problem) + "); this file starts anew\n");
        }
    }
    file_->append(line);
}

}  // namespace diagnostics
