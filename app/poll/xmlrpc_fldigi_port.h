// The fldigi port over the bridge's XML-RPC client: one XmlRpcClient per session.
#pragma once

#include <memory>
#include <string>

#include "app/poll/fldigi_port.h"

namespace pollcycle {

class XmlRpcFldigiPort : public FldigiPort {
  public:
    explicit XmlRpcFldigiPort(std::string endpoint = kFldigiEndpoint)
        : endpoint_(std::move(endpoint)) {}
    // Each session is a new XmlRpcClient for the endpoint with acceptUnknownAuthority set;
    // the client (and its connection) goes when the session is destroyed.
    std::unique_ptr<FldigiSession> openSession() override;

  private:
    std::string endpoint_;
};

}  // namespace pollcycle
