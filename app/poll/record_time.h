// When a logged contact took place, by its record's own fields.
#pragma once

#include <cstdint>
#include <optional>

#include "app/poll/adif_records.h"

namespace pollcycle {

// The record's end in seconds since 1970-01-01 00:00 UTC: QSO_DATE_OFF with TIME_OFF, else
// QSO_DATE with TIME_ON (dates YYYYMMDD, times HHMM or HHMMSS, UTC as ADIF has them). No value
// when neither pair is a valid date and time.
std::optional<int64_t> recordUtcSeconds(const AdifRecord& record);

}  // namespace pollcycle
