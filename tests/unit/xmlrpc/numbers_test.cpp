#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "xmlrpc/core/numbers.h"

namespace {

struct LongCase {
    const char* text;
    bool converted;
    int32_t value;
    size_t consumed;
};

TEST(Numbers, ParseLong32BehavesLikeStrtolWith32BitLong) {
    const std::vector<LongCase> cases = {
        {"0", true, 0, 1},
        {"42", true, 42, 2},
        {"-12", true, -12, 3},
        {"+7<", true, 7, 2},
        {" \t\n\v\f\r5", true, 5, 7},
        {"42abc", true, 42, 2},
        {"0x10", true, 0, 1},
        {"007", true, 7, 3},
        {"2147483647", true, 2147483647, 10},
        {"2147483648", true, 2147483647, 10},
        {"99999999999", true, 2147483647, 11},
        {"-2147483648", true, std::numeric_limits<int32_t>::min(), 11},
        {"-2147483649", true, std::numeric_limits<int32_t>::min(), 11},
        {"-99999999999999999999999", true, std::numeric_limits<int32_t>::min(), 24},
        {"", false, 0, 0},
        {"-", false, 0, 0},
        {"+ 1", false, 0, 0},
        {"abc", false, 0, 0},
        {"  ", false, 0, 0},
    };
    for (const LongCase& c : cases) {
        const char* stop = nullptr;
        int32_t value = 0;
        EXPECT_EQ(parseLong32(c.text, nullptr, &stop, &value), c.converted) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(static_cast<size_t>(stop - c.text), c.consumed) << c.text;
    }
}

TEST(Numbers, ParseLong32StopsAtEnd) {
    const char* text = "12345";
    const char* stop;
    int32_t value;
    ASSERT_TRUE(parseLong32(text, text + 3, &stop, &value));
    EXPECT_EQ(value, 123);
    EXPECT_EQ(stop, text + 3);
    EXPECT_FALSE(parseLong32(text, text, &stop, &value));
}

struct DoubleCase {
    const char* text;
    bool converted;
    double value;
    size_t consumed;
};

TEST(Numbers, ParseDoubleUsesPointInEveryLocale) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<DoubleCase> cases = {
        {"2.5", true, 2.5, 3},
        {".5", true, 0.5, 2},
        {"5.", true, 5.0, 2},
        {"  -1.25e2<", true, -125.0, 9},
        {"+1E-2", true, 0.01, 5},
        {"1,5", true, 1.0, 1},
        {"1e", true, 1.0, 1},
        {"1e+", true, 1.0, 1},
        {"0x1p3", true, 0.0, 1},
        {"1e999", true, inf, 5},
        {"-1e999", true, -inf, 6},
        {"1e-999", true, 0.0, 6},
        {"0.000000000000000000000000000000001e-300", true, 0.0, 40},
        {"123456789012345678901234567890", true, 1.2345678901234568e29, 30},
        {"inf", true, inf, 3},
        {"-Infinity", true, -inf, 9},
        {"", false, 0.0, 0},
        {".", false, 0.0, 0},
        {"-.e1", false, 0.0, 0},
        {"abc", false, 0.0, 0},
    };
    for (const DoubleCase& c : cases) {
        const char* stop = nullptr;
        double value = 0.0;
        EXPECT_EQ(parseDouble(c.text, &stop, &value), c.converted) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(static_cast<size_t>(stop - c.text), c.consumed) << c.text;
    }
    const char* stop;
    double value;
    ASSERT_TRUE(parseDouble("NaN(1)<", &stop, &value));
    EXPECT_TRUE(std::isnan(value));
    EXPECT_EQ(*stop, '<');
}

TEST(Numbers, ParseStrtodDoubleAlsoTakesHexadecimalForms) {
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<DoubleCase> cases = {
        {"0x1p3", true, 8.0, 5},
        {"-0X1.8P1", true, -3.0, 8},
        {"+0x.8", true, 0.5, 5},
        {" 0xAp-1<", true, 5.0, 7},
        {"0x10", true, 16.0, 4},
        {"0x1p", true, 1.0, 3},
        {"0x1p+", true, 1.0, 3},
        {"0x", true, 0.0, 1},
        {"0x.p1", true, 0.0, 1},
        {"0xg", true, 0.0, 1},
        {"0x1p99999", true, inf, 9},
        {"-0x1p-99999", true, -0.0, 11},
        {"0x1p-1074", true, 4.9406564584124654e-324, 9},
        {"0x1.fffffffffffff8p0", true, 2.0, 20},
        {"2.5e1", true, 25.0, 5},
        {"iNfInItY", true, inf, 8},
        {"-INF", true, -inf, 4},
        {"x1p3", false, 0.0, 0},
    };
    for (const DoubleCase& c : cases) {
        const char* stop = nullptr;
        double value = 0.0;
        EXPECT_EQ(parseStrtodDouble(c.text, &stop, &value), c.converted) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
        EXPECT_EQ(std::signbit(value), std::signbit(c.value)) << c.text;
        EXPECT_EQ(static_cast<size_t>(stop - c.text), c.consumed) << c.text;
    }
}

TEST(Numbers, IntsAreWrittenPlainly) {
    const std::vector<std::pair<int32_t, const char*>> cases = {
        {0, "0"},
        {-5, "-5"},
        {7, "7"},
        {1000000, "1000000"},
        {std::numeric_limits<int32_t>::max(), "2147483647"},
        {std::numeric_limits<int32_t>::min(), "-2147483648"}};
    for (const auto& [value, text] : cases) {
        std::string out = "x";
        appendInt32(out, value);
        EXPECT_EQ(out, std::string("x") + text);
    }
}

TEST(Numbers, DoublesAreWrittenWithSixDigitsAndThreeDigitExponent) {
    const std::vector<std::pair<double, const char*>> cases = {
        {0.1, "0.1"},
        {2.5, "2.5"},
        {100.0, "100"},
        {0.0, "0"},
        {-0.0, "-0"},
        {123456.0, "123456"},
        {1234567.0, "1.23457e+006"},
        {123456789.0, "1.23457e+008"},
        {0.0001, "0.0001"},
        {0.00001, "1e-005"},
        {-0.000123456789, "-0.000123457"},
        {1e100, "1e+100"},
        {-2.5e-300, "-2.5e-300"},
        {1.7976931348623157e308, "1.79769e+308"},
        {4.9e-324, "4.94066e-324"},
        {999999.5, "1e+006"},
        {14070.0, "14070"},
        {std::numeric_limits<double>::infinity(), "inf"},
        {-std::numeric_limits<double>::infinity(), "-inf"},
        {std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    for (const auto& [value, text] : cases) {
        std::string out;
        appendDouble(out, value);
        EXPECT_EQ(out, text);
    }
}

// printf("%.6g") with the exponent widened to three digits: the reference for appendDouble.
std::string referenceFormat(double v) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6g", v);
    std::string text = buffer;
    size_t e = text.find('e');
    if (e != std::string::npos && text.size() - (e + 2) < 3) {
        text.insert(e + 2, 3 - (text.size() - (e + 2)), '0');
    }
    return text;
}

TEST(Numbers, DoublesMatchPrintfAcrossMagnitudes) {
    std::vector<double> values;
    // Short decimals (the fast path) and their neighbours.
    for (int n : {1, 5, 9, 10, 99, 100, 123, 999, 1000, 14070, 99999, 123456, 999999, 1000000}) {
        for (double scale : {1.0, 0.1, 0.01, 0.001, 1e-4, 1e-5, 1e-6, 1e-7, 1e-8}) {
            double v = n * scale;
            values.insert(values.end(), {v, -v, std::nextafter(v, 0.0), std::nextafter(v, 1e300)});
        }
    }
    values.insert(values.end(), {0.5, 0.25, 0.125, 999999.4, 999999.5, 9999995.0, 0.00099999949,
                                 0.000099999, 1e-4, 14070.5, 7.0000005, 1.0000005});
    // Pseudo-random doubles over the whole range.
    uint64_t state = 88172645463325252ull;
    for (int i = 0; i < 20000; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        double v;
        uint64_t bits = state & 0x7fefffffffffffffull;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
        values.push_back(static_cast<double>(state % 100000000) / 1000.0);
    }
    for (double v : values) {
        std::string out;
        appendDouble(out, v);
        ASSERT_EQ(out, referenceFormat(v)) << v;
    }
}

}  // namespace
