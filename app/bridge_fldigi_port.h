// The poll cycle's fldigi port over XmlRpcClient: every session is one client for fldigi's
// fixed endpoint, with acceptUnknownAuthority set before its first call.
#pragma once

#include <memory>

#include "poll/fldigi_port.h"

class XmlRpcFldigiPort : public pollcycle::FldigiPort {
  public:
    std::unique_ptr<pollcycle::FldigiSession> openSession() override;
};
