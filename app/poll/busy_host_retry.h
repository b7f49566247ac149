// How long the bridge keeps trying a call the host turned away. A host busy with a modal
// dialog answers "retry later"; the call is tried again every kRetryLaterIntervalMs for up to
// kRetryLaterLimitMs in all and then given up, so it fails as a refused call does. A call the
// host rejected outright is given up at once.
#pragma once

#include <cstdint>

namespace pollcycle {

// The host's reasons for not taking a call (COM's SERVERCALL_REJECTED, SERVERCALL_RETRYLATER).
inline constexpr uint32_t kHostRejectedCall = 1;
inline constexpr uint32_t kHostRetryLater = 2;

inline constexpr uint32_t kRetryLaterIntervalMs = 250;
inline constexpr uint32_t kRetryLaterLimitMs = 30000;
// The answer that gives the call up.
inline constexpr int32_t kGiveUpCall = -1;

// The wait in milliseconds before trying again a call the host turned away for `reason`,
// `elapsedMs` after the call was first made; kGiveUpCall when no try may start within the limit.
int32_t retryRejectedCallAfter(uint32_t reason, uint32_t elapsedMs);

}  // namespace pollcycle
