#include "frequency_text.h"

#include "xmlrpc/core/numbers.h"

namespace pollcycle {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether a decimal number starts after the white space and sign: the XML-RPC reader also
// takes "inf" and "nan", which are no frequency.
bool startsDecimalNumber(const char* p) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) {
        ++p;
    }
    if (*p == '+' || *p == '-') {
        ++p;
    }
    return isDigit(*p) || (*p == '.' && isDigit(p[1]));
}

}  // namespace

double leadingDecimalNumber(const std::string& text) {
    const char* stop = nullptr;
    double value = 0.0;
    if (!startsDecimalNumber(text.c_str()) || !parseDouble(text.c_str(), &stop, &value)) {
        return 0.0;
    }
    return value;
}

double frequencyHertzFromKilohertzText(const std::string& text) {
    return leadingDecimalNumber(text) * 1000.0;
}

}  // namespace pollcycle
