#include "app/poll/record_time.h"

#include <string>

#include "base/char_class.h"

namespace pollcycle {
namespace {

// The value of `count` digits from `at`; no value when one of them is not a digit.
std::optional<int> digits(const std::string& text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (i >= text.size() || !charclass::isDigit(text[i])) {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// Days from 1970-01-01 to the date (proleptic Gregorian calendar).
int64_t daysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<int64_t> utcSeconds(const std::string* date, const std::string* time) {
    if (date == nullptr || time == nullptr || date->size() != 8 ||
        (time->size() != 4 && time->size() != 6)) {
        return std::nullopt;
    }
    const auto year = digits(*date, 0, 4);
    const auto month = digits(*date, 4, 2);
    const auto day = digits(*date, 6, 2);
    const auto hour = digits(*time, 0, 2);
    const auto minute = digits(*time, 2, 2);
    const auto second = time->size() == 6 ? digits(*time, 4, 2) : std::optional<int>(0);
    if (!year || !month || !day || !hour || !minute || !second || *month < 1 || *month > 12 ||
        *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return daysFromCivil(*year, *month, *day) * 86400 + *hour * 3600 + *minute * 60 + *second;
}

}  // namespace

std::optional<int64_t> recordUtcSeconds(const AdifRecord& record) {
    if (auto end = utcSeconds(record.field("QSO_DATE_OFF"), record.field("TIME_OFF"))) {
        return end;
    }
    return utcSeconds(record.field("QSO_DATE"), record.field("TIME_ON"));
}

}  // namespace pollcycle
