// Reads methodResponse documents from stdin, each as "<length>\n<bytes>", and answers each with
// "ok <n>\n", "fault <n>\n" or "error <n>\n" followed by n bytes: the writeValue text of the
// result, or the error message.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "xmlrpc/core/envelope.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

std::string readAll(FILE* in) {
    std::string data;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        data.append(buffer, n);
    }
    return data;
}

void answer(const char* status, const std::string& body) {
    std::printf("%s %zu\n", status, body.size());
    std::fwrite(body.data(), 1, body.size(), stdout);
}

}  // namespace

int main() {
#ifdef _WIN32
    // Bytes in and out unchanged (no CR LF translation).
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    const std::string input = readAll(stdin);
    size_t pos = 0;
    while (pos < input.size()) {
        size_t newline = input.find('\n', pos);
        if (newline == std::string::npos) {
            std::fprintf(stderr, "driver: malformed input\n");
            return 2;
        }
        size_t length = std::strtoul(input.c_str() + pos, nullptr, 10);
        const std::string document = input.substr(newline + 1, length);
        pos = newline + 1 + length;

        XmlRpcValue result;
        try {
            bool ok = readMethodResponse(document.c_str(), result);
            std::string text;
            writeValue(result, text);
            answer(ok ? "ok" : "fault", text);
        } catch (const XmlRpcException& e) {
            answer("error", e.message);
        }
    }
    return 0;
}
