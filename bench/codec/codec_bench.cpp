// Decode and encode speed of our XML-RPC codec against xmlrpc-c on five fixed workloads.
// Before timing, both sides must decode every workload to the same content, and the text each
// side encodes must decode back (through the other side as well) to the workload's value.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "ours_adapter.h"
#include "ratio_reporter.h"
#include "workload.h"
#include "xmlrpc/core/envelope.h"
#include "xmlrpcc_peer.h"

namespace codecbench {
namespace {

const char kMethodName[] = "bench.echo";

// Both sides' parameter lists for one workload: an array holding the workload value.
struct Prepared {
    Workload workload;
    XmlRpcValue ourParams;
    XcValue peerParams;
};

Prepared prepare(Workload workload) {
    Prepared p;
    p.ourParams.setArray();
    p.ourParams.append() = toOurs(workload.value);
    XcEnv env;
    p.peerParams.reset(xmlrpc_array_new(env.get()));
    XcValue item = toXmlrpc(workload.value);
    xmlrpc_array_append_item(env.get(), p.peerParams.get(), item.get());
    env.check("parameter array");
    p.workload = std::move(workload);
    return p;
}

// The first parameter of a methodCall text, decoded by xmlrpc-c.
Node peerReadFirstParam(const std::string& callText) {
    XcEnv env;
    const char* name = nullptr;
    xmlrpc_value* params = nullptr;
    xmlrpc_parse_call(env.get(), callText.data(), callText.size(), &name, &params);
    env.check("xmlrpc_parse_call");
    std::free(const_cast<char*>(name));
    XcValue owned(params);
    xmlrpc_value* first = nullptr;
    xmlrpc_array_read_item(env.get(), params, 0, &first);
    env.check("first parameter");
    XcValue firstOwned(first);
    return fromXmlrpc(first);
}

// The first parameter of a methodCall text, decoded by our readValue.
Node oursReadFirstParam(const std::string& callText) {
    const char* cursor = std::strstr(callText.c_str(), "<param>");
    if (!cursor)
        throw std::runtime_error("no <param> in call text");
    cursor += std::strlen("<param>");
    XmlRpcValue value;
    readValue(value, cursor);
    return fromOurs(value);
}

// xmlrpc-c reads and writes doubles a few ulp off; wherever it is not involved, exact.
const double kPeerTolerance = 1e-14;

void expectSame(const Node& expected, const Node& actual, const std::string& what,
                double tolerance = 0) {
    const std::string difference = firstDifference(expected, actual, tolerance);
    if (!difference.empty())
        throw std::runtime_error(what + ": " + difference);
}

void checkWorkload(const Prepared& p) {
    const Workload& w = p.workload;
    XmlRpcValue ours;
    if (!readMethodResponse(w.responseText.c_str(), ours))
        throw std::runtime_error(w.name + ": our decoder saw a fault");
    expectSame(w.value, fromOurs(ours), w.name + " decoded by ours");
    XcValue peer = xmlrpcDecodeResponse(w.responseText);
    expectSame(w.value, fromXmlrpc(peer.get()), w.name + " decoded by xmlrpc-c", kPeerTolerance);

    std::string ourCall;
    writeMethodCall(ourCall, kMethodName, p.ourParams);
    expectSame(w.value, oursReadFirstParam(ourCall), w.name + " encoded by ours, read by ours");
    expectSame(w.value, peerReadFirstParam(ourCall), w.name + " encoded by ours, read by xmlrpc-c",
               kPeerTolerance);

    const std::string peerCall = xmlrpcEncodeCall(kMethodName, p.peerParams.get());
    expectSame(w.value, peerReadFirstParam(peerCall), w.name + " encoded by xmlrpc-c, read by it",
               kPeerTolerance);
    expectSame(w.value, oursReadFirstParam(peerCall), w.name + " encoded by xmlrpc-c, read by ours",
               kPeerTolerance);
    std::printf(
        "checked %-14s response %9zu bytes, our call %9zu bytes, xmlrpc-c call %9zu bytes\n",
        w.name.c_str(), w.responseText.size(), ourCall.size(), peerCall.size());
}

void registerBenchmarks(const std::vector<Prepared>& all) {
    for (const Prepared& p : all) {
        const std::string& name = p.workload.name;
        const size_t bytes = p.workload.responseText.size();
        const benchmark::TimeUnit unit =
            bytes < 4096 ? benchmark::kNanosecond
                         : (bytes < 512 * 1024 ? benchmark::kMicrosecond : benchmark::kMillisecond);
        const char* text = p.workload.responseText.c_str();

        benchmark::RegisterBenchmark(
            ("decode/" + name + "/xmlrpc-c").c_str(),
            [&p](benchmark::State& state) {
                const std::string& response = p.workload.responseText;
                for (auto _ : state) {
                    XcValue v = xmlrpcDecodeResponse(response);
                    benchmark::DoNotOptimize(v.get());
                }
                state.SetBytesProcessed(state.iterations() * response.size());
            })
            ->Unit(unit);
        benchmark::RegisterBenchmark(("decode/" + name + "/ours").c_str(),
                                     [text, bytes](benchmark::State& state) {
                                         for (auto _ : state) {
                                             XmlRpcValue result;
                                             bool ok = readMethodResponse(text, result);
                                             benchmark::DoNotOptimize(ok);
                                             benchmark::DoNotOptimize(result);
                                         }
                                         state.SetBytesProcessed(state.iterations() * bytes);
                                     })
            ->Unit(unit);
        benchmark::RegisterBenchmark(
            ("encode/" + name + "/xmlrpc-c").c_str(),
            [&p](benchmark::State& state) {
                for (auto _ : state) {
                    XcEnv env;
                    xmlrpc_mem_block* block = xmlrpc_mem_block_new(env.get(), 0);
                    xmlrpc_serialize_call(env.get(), block, kMethodName, p.peerParams.get());
                    benchmark::DoNotOptimize(xmlrpc_mem_block_contents(block));
                    xmlrpc_mem_block_free(block);
                }
            })
            ->Unit(unit);
        benchmark::RegisterBenchmark(("encode/" + name + "/ours").c_str(),
                                     [&p](benchmark::State& state) {
                                         for (auto _ : state) {
                                             std::string out;
                                             writeMethodCall(out, kMethodName, p.ourParams);
                                             benchmark::DoNotOptimize(out.data());
                                             benchmark::ClobberMemory();
                                         }
                                     })
            ->Unit(unit);
    }
}

std::map<std::string, double> targets() {
    return {
        {"decode/tiny_reply", 40},  {"decode/structs_10KB", 6}, {"decode/structs_10MB", 9},
        {"decode/base64_1MB", 2},   {"decode/nested_100", 2},   {"encode/tiny_reply", 2},
        {"encode/structs_10KB", 2}, {"encode/structs_10MB", 3}, {"encode/base64_1MB", 2},
        {"encode/nested_100", 2},
    };
}

}  // namespace
}  // namespace codecbench

int main(int argc, char** argv) {
    using namespace codecbench;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    raiseXmlrpcLimits();

    std::vector<Prepared> prepared;
    try {
        for (Workload& w : makeWorkloads()) {
            prepared.push_back(prepare(std::move(w)));
            checkWorkload(prepared.back());
        }
    } catch (const XmlRpcException& e) {
        std::fprintf(stderr, "correctness check failed: %s\n", e.message.c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "correctness check failed: %s\n", e.what());
        return 1;
    }

    registerBenchmarks(prepared);
    RatioReporter reporter(targets());
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
