// The fldigi port over the bridge's XML-RPC client: one XmlRpcClient per session.
#pragma once

#include <memory>

#include "fldigi_port.h"

namespace pollcycle {

class XmlRpcFldigiPort : public FldigiPort {
  public:
    // Each session is a new XmlRpcClient for kFldigiEndpoint with acceptUnknownAuthority set;
    // the client (and its connection) goes when the session is destroyed.
    std::unique_ptr<FldigiSession> openSession() override;
};

}  // namespace pollcycle
