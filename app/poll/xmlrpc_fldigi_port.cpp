#include "xmlrpc_fldigi_port.h"

#include "xmlrpc/client.h"
#include "xmlrpc/value.h"

namespace pollcycle {
namespace {

class XmlRpcFldigiSession : public FldigiSession {
  public:
    XmlRpcFldigiSession() : client_(kFldigiEndpoint) { client_.acceptUnknownAuthority = true; }

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

  private:
    XmlRpcClient client_;
};

}  // namespace

std::unique_ptr<FldigiSession> XmlRpcFldigiPort::openSession() {
    return std::make_unique<XmlRpcFldigiSession>();
}

}  // namespace pollcycle
