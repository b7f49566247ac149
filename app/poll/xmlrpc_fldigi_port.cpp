#include "app/poll/xmlrpc_fldigi_port.h"

#include "xmlrpc/client/client.h"
#include "xmlrpc/core/value.h"

namespace pollcycle {
namespace {

class XmlRpcFldigiSession : public FldigiSession {
  public:
    XmlRpcFldigiSession(const std::string& endpoint, const FldigiPort& port)
        : client_(endpoint.c_str()), port_(port) {
        client_.setAcceptUnknownAuthority(true);
    }

    FldigiReply call(const char* method) override {
        const XmlRpcValue noParams;
        XmlRpcValue result;
        FldigiReply reply;
        reply.ok = client_.call(method, noParams, result);
        if (reply.ok && result.kind() == ValueKind::String) {
            reply.isString = true;
            // A NUL-terminated text, as everywhere in the bridge.
            reply.text = port_.decodeText(result.textValue());
        }
        return reply;
    }

    std::string lastError() const override { return port_.decodeText(client_.errorText()); }

  private:
    XmlRpcClient client_;
    const FldigiPort& port_;
};

}  // namespace

std::unique_ptr<FldigiSession> XmlRpcFldigiPort::openSession() {
    return std::make_unique<XmlRpcFldigiSession>(endpoint_, *this);
}

}  // namespace pollcycle
