#include "app/poll/poll_state.h"

namespace pollcycle {

PollState& processPollState() {
    static PollState state;
    return state;
}

}  // namespace pollcycle
