// xrcall: calls one XML-RPC method and prints the result.
//   xrcall [--xml] [--timeout-ms MS] URL METHOD [PARAM...]
// Exit status: 0 the call succeeded, 1 it failed (reason on stderr), 2 usage error.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "tools/xrcall/thread_startups.h"
#endif

#include "tools/xrcall/xrcall_args.h"
#include "xmlrpc/client/client.h"
#include "xmlrpc/core/value_io.h"

namespace {

const char kUsage[] =
    "usage: xrcall [--xml] [--timeout-ms MS] URL METHOD [PARAM...]\n"
    "\n"
    "Calls METHOD on the XML-RPC server at URL (http://host[:port]/path) and prints the\n"
    "result: a string as its bare text, other values in a compact notation.\n"
    "\n"
    "PARAM is one of  i4:N  int:N  double:X  bool:0|1  str:TEXT  nil  b64:BASE64\n"
    "                 dt:YYYYMMDDTHH:MM:SS  or plain TEXT (a string).\n"
    "No PARAM sends no parameters, one sends it alone, several are sent as one array.\n"
    "\n"
    "  --xml            print the result (or a received fault) as its XML value element\n"
    "  --timeout-ms MS  receive time-out in milliseconds (default 999000)\n"
    "  --help           show this text\n"
    "  --               end of options\n"
    "\n"
    "Exit status: 0 success, 1 the call failed (reason on stderr), 2 usage error.\n";

#ifdef _WIN32
constexpr unsigned kThreadStartupWaitMs = 2000;
#endif

int usageError(const std::string& message) {
    std::fprintf(stderr, "xrcall: %s\n%s", message.c_str(), kUsage);
    return 2;
}

void writeOut(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

struct Options {
    bool xml = false;
    uint32_t timeoutMs = XmlRpcClient::kDefaultReceiveTimeoutMs;
    std::vector<std::string> positional;
};

// Reads the options and the positional arguments. Returns -1 to go on, or the exit status.
int readArguments(int argc, char** argv, Options& options) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool option = !optionsEnded && arg.size() > 1 && arg[0] == '-';
        if (!option) {
            options.positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            writeOut(kUsage);
            return 0;
        } else if (arg == "--xml") {
            options.xml = true;
        } else if (arg == "--timeout-ms") {
            if (i + 1 >= argc || !parseMilliseconds(argv[i + 1], options.timeoutMs)) {
                return usageError("--timeout-ms needs a positive number of milliseconds");
            }
            ++i;
        } else if (arg[1] == '-') {
            return usageError("unknown option " + arg);
        } else {
            options.positional.push_back(arg);
        }
    }
    return options.positional.size() < 2 ? usageError("URL and METHOD are needed") : -1;
}

// The result, or a received fault with --xml, on stdout.
void printResult(const XmlRpcValue& result, bool xml) {
    std::string text;
    try {
        if (xml) {
            writeValue(result, text);
        } else {
            text = readableValue(result);
        }
    } catch (const XmlRpcException& e) {
        text = e.message;  // an Undefined result cannot be written as XML
    }
    writeOut(text + "\n");
}

// Makes the call and prints its outcome; returns the exit status.
int callAndPrint(const Options& options, const XmlRpcValue& params) {
    const std::unique_ptr<InternetTransport> transport = makePlatformInternetTransport();
    XmlRpcClient client(options.positional[0].c_str(), *transport, options.timeoutMs);
    XmlRpcValue result;
    const bool ok = client.call(options.positional[1].c_str(), params, result);
    if (ok || (options.xml && client.faultReceived())) {
        printResult(result, options.xml);
    }
    if (!ok) {
        std::fprintf(stderr, "xrcall: %s\n", client.errorText().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // Byte-exact output in both builds: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    Options options;
    const int status = readArguments(argc, argv, options);
    if (status >= 0) {
        return status;
    }
    const std::vector<std::string>& positional = options.positional;
    XmlRpcValue params;
    std::string error;
    if (!parseParams({positional.begin() + 2, positional.end()}, params, error)) {
        return usageError(error);
    }

    const int exitStatus = callAndPrint(options, params);
#ifdef _WIN32
    // The connection WinINet keeps for reuse has a thread of its own, started as the call
    // ended: the process ends once that thread is through its start-up.
    WaitForThreadStartups(kThreadStartupWaitMs);
#endif
    return exitStatus;
}
