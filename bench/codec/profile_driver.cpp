// Runs our decoder or encoder over one benchmark workload in a plain loop, so a profiler
// (valgrind --tool=callgrind) sees only the codec:  codec-profile decode|encode WORKLOAD [N]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "ours_adapter.h"
#include "workload.h"
#include "xmlrpc/core/envelope.h"

int main(int argc, char** argv) {
    using namespace codecbench;
    if (argc < 3 || (std::strcmp(argv[1], "decode") != 0 && std::strcmp(argv[1], "encode") != 0)) {
        std::fprintf(stderr, "usage: codec-profile decode|encode WORKLOAD [ITERATIONS]\n");
        return 2;
    }
    const bool decode = std::strcmp(argv[1], "decode") == 0;
    const long iterations = argc > 3 ? std::atol(argv[3]) : 1;
    Workload w;
    try {
        w = makeWorkload(argv[2]);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "codec-profile: %s\n", e.what());
        return 2;
    }
    XmlRpcValue params;
    params.setArray();
    params.append() = toOurs(w.value);
    size_t total = 0;
    try {
        for (long i = 0; i < iterations; ++i) {
            if (decode) {
                XmlRpcValue result;
                total += readMethodResponse(w.responseText.c_str(), result) ? 1 : 0;
            } else {
                std::string out;
                writeMethodCall(out, "bench.echo", params);
                total += out.size();
            }
        }
    } catch (const XmlRpcException& e) {
        std::fprintf(stderr, "codec-profile: %s\n", e.message.c_str());
        return 1;
    }
    std::printf("%s %s x%ld: %zu\n", argv[1], argv[2], iterations, total);
    return 0;
}
