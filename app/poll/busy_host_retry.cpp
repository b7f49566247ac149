#include "app/poll/busy_host_retry.h"

namespace pollcycle {

int32_t retryRejectedCallAfter(uint32_t reason, uint32_t elapsedMs) {
    if (reason != kHostRetryLater || elapsedMs > kRetryLaterLimitMs - kRetryLaterIntervalMs) {
        return kGiveUpCall;
    }
    return static_cast<int32_t>(kRetryLaterIntervalMs);
}

}  // namespace pollcycle
