// Console reporter that adds, to each of our runs, the speed ratio against the xmlrpc-c run of
// the same operation and workload, and prints a summary table at the end.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace codecbench {

// Benchmarks are named "<operation>/<workload>/<side>", side "ours" or "xmlrpc-c"; the
// xmlrpc-c run of a pair is registered (and so reported) first.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // `targets`: minimum ratio per "<operation>/<workload>".
    explicit RatioReporter(std::map<std::string, double> targets);

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

    // Number of pairs measured below their target (valid after Finalize).
    int missedTargets() const { return missed_; }

  private:
    struct Pair {
        double oursNs = 0;
        double peerNs = 0;
    };
    // The run that stands for a benchmark: the median when repeated, else the single run.
    static bool isRepresentative(const Run& run);
    static double cpuNanoseconds(const Run& run);

    std::map<std::string, double> targets_;
    std::vector<std::string> order_;
    std::map<std::string, Pair> pairs_;
    int missed_ = 0;
};

}  // namespace codecbench
