#include "app/poll/frequency_text.h"

#include <string>

#include "base/char_class.h"
#include "xmlrpc/core/numbers.h"

namespace pollcycle {
namespace {

using charclass::isCSpace;
using charclass::isDigit;

// Where a decimal comma stands in the leading number: right after its integer digits (if any),
// with a digit after it. npos when the number has none.
std::size_t decimalCommaPosition(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
    }
    while (i < text.size() && isDigit(text[i])) {
        ++i;
    }
    const bool comma = i + 1 < text.size() && text[i] == ',' && isDigit(text[i + 1]);
    return comma ? i : std::string::npos;
}

}  // namespace

double leadingDecimalNumber(const std::string& text) {
    std::string number = text;
    const std::size_t comma = decimalCommaPosition(number);
    if (comma != std::string::npos) {
        number[comma] = '.';
    }
    const char* stop = nullptr;
    double value = 0.0;
    if (!parseDouble(number.c_str(), &stop, &value)) {
        return 0.0;
    }
    // The number reader also takes "inf" and "nan", which are no frequency: a decimal form
    // ends in a digit or its point, those words in a letter or ')'.
    const char last = stop[-1];
    return isDigit(last) || last == '.' ? value : 0.0;
}

double frequencyHertzFromKilohertzText(const std::string& text) {
    return leadingDecimalNumber(text) * 1000.0;
}

}  // namespace pollcycle
