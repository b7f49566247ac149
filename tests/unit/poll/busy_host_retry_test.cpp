#include "app/poll/busy_host_retry.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using namespace pollcycle;

struct RetryCase {
    uint32_t reason;
    uint32_t elapsedMs;
    int32_t answer;
};

TEST(BusyHostRetry, RetryLaterEvery250MsForUpTo30sThenGiveUp) {
    const RetryCase cases[] = {
        {kHostRetryLater, 0, 250},
        {kHostRetryLater, 1, 250},
        {kHostRetryLater, 5000, 250},
        {kHostRetryLater, 29750, 250},  // the last try starts at 30 s
        {kHostRetryLater, 29751, kGiveUpCall},
        {kHostRetryLater, 30000, kGiveUpCall},
        {kHostRetryLater, 4294967295u, kGiveUpCall},  // no wrap-around into another try
        {kHostRejectedCall, 0, kGiveUpCall},          // rejected outright: no retry
        {kHostRejectedCall, 1000, kGiveUpCall},
        {0, 0, kGiveUpCall},  // reasons COM does not give
        {3, 0, kGiveUpCall},
    };
    for (const RetryCase& c : cases) {
        EXPECT_EQ(retryRejectedCallAfter(c.reason, c.elapsedMs), c.answer)
            << "reason " << c.reason << ", " << c.elapsedMs << " ms";
    }
}

}  // namespace
