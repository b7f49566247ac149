// The ports one poll cycle runs over, handed around as one: fldigi, the host, fldigi's folder,
// the window, and the readers of what happened.
#pragma once

#include "app/poll/bridge_events.h"
#include "app/poll/fldigi_port.h"
#include "app/poll/host_port.h"
#include "app/poll/marker_files_port.h"
#include "app/poll/poll_view.h"

namespace pollcycle {

struct PollPorts {
    FldigiPort& fldigi;
    HostPort& host;
    MarkerFilesPort& markers;
    PollView& view;
    BridgeEvents& events;
};

}  // namespace pollcycle
