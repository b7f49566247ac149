#include "app/poll/xmlrpc_fldigi_port.h"

#include "xmlrpc/client/client.h"
#include "xmlrpc/core/value.h"

namespace pollcycle {
namespace {

class XmlRpcFldigiSession : public FldigiSession {
  public:
    explicit XmlRpcFldigiSession(const std::string& endpoint) : client_(endpoint.c_str()) {
        client_.acceptUnknownAuthority = true;
    }

    FldigiReply call(const char* method) override {
        const XmlRpcValue noParams;
        XmlRpcValue result;
        FldigiReply reply;
        reply.ok = client_.call(method, noParams, result);
        if (reply.ok && result.kind() == ValueKind::String) {
            reply.isString = true;
            reply.text = result.textValue();  // a NUL-terminated text, as everywhere in the bridge
        }
        return reply;
    }

    std::string lastError() const override { return client_.errorText; }

  private:
    XmlRpcClient client_;
};

}  // namespace

std::unique_ptr<FldigiSession> XmlRpcFldigiPort::openSession() {
    return std::make_unique<XmlRpcFldigiSession>(endpoint_);
}

}  // namespace pollcycle
