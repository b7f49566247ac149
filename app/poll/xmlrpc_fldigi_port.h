// The fldigi port over the bridge's XML-RPC client: one XmlRpcClient per session.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/poll/fldigi_port.h"

namespace pollcycle {

// fldigi's 8-bit text in UTF-8.
using TextDecoder = std::function<std::string(const std::string&)>;

class XmlRpcFldigiPort : public FldigiPort {
  public:
    // `decoder`: how fldigi's texts become UTF-8; none keeps the bytes.
    explicit XmlRpcFldigiPort(std::string endpoint = kFldigiEndpoint, TextDecoder decoder = {})
        : endpoint_(std::move(endpoint)), decoder_(std::move(decoder)) {}
    // Each session is a new XmlRpcClient for the endpoint with acceptUnknownAuthority set;
    // the client (and its connection) goes when the session is destroyed. Its string results
    // and error texts are decoded.
    std::unique_ptr<FldigiSession> openSession() override;
    std::string decodeText(const std::string& bytes) const override {
        return decoder_ ? decoder_(bytes) : bytes;
    }

  private:
    std::string endpoint_;
    TextDecoder decoder_;
};

}  // namespace pollcycle
