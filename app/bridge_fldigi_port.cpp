#include "app/bridge_fldigi_port.h"

#include "xmlrpc/client.h"
#include "xmlrpc/value.h"

namespace {

class XmlRpcFldigiSession : public pollcycle::FldigiSession {
  public:
    XmlRpcFldigiSession() : client_(pollcycle::kFldigiEndpoint) {
        client_.acceptUnknownAuthority = true;
    }

    pollcycle::FldigiReply call(const char* method) override {
        const XmlRpcValue noParams;  // undefined: an empty parameter list
        XmlRpcValue result;
        pollcycle::FldigiReply reply;
        reply.ok = client_.call(method, noParams, result);
        if (reply.ok && result.kind() == ValueKind::String) {
            reply.isString = true;
            reply.text = result.stringValue();
        }
        return reply;
    }

  private:
    XmlRpcClient client_;
};

}  // namespace

std::unique_ptr<pollcycle::FldigiSession> XmlRpcFldigiPort::openSession() {
    return std::make_unique<XmlRpcFldigiSession>();
}
