// The reference peer: the same workloads through xmlrpc-c's C library.
#pragma once

#include <xmlrpc-c/base.h>

#include <memory>
#include <string>

#include "workload.h"

namespace codecbench {

struct XmlrpcValueRelease {
    void operator()(xmlrpc_value* v) const { xmlrpc_DECREF(v); }
};
using XcValue = std::unique_ptr<xmlrpc_value, XmlrpcValueRelease>;

// Owns an xmlrpc_env; `check` raises std::runtime_error when the env holds a fault.
class XcEnv {
  public:
    XcEnv() { xmlrpc_env_init(&env_); }
    ~XcEnv() { xmlrpc_env_clean(&env_); }
    XcEnv(const XcEnv&) = delete;
    XcEnv& operator=(const XcEnv&) = delete;
    xmlrpc_env* get() { return &env_; }
    void check(const char* what);

  private:
    xmlrpc_env env_;
};

// Raises the process-wide nesting and document-size limits so every workload is accepted.
void raiseXmlrpcLimits();

XcValue toXmlrpc(const Node& node);
Node fromXmlrpc(xmlrpc_value* value);

// Parses a methodResponse; raises std::runtime_error on a parse error or a fault.
XcValue xmlrpcDecodeResponse(const std::string& responseText);
// Serialises a methodCall with one parameter per element of `paramArray`.
std::string xmlrpcEncodeCall(const char* methodName, xmlrpc_value* paramArray);

}  // namespace codecbench
