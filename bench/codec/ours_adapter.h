// Conversions between the neutral workload tree and our XmlRpcValue.
#pragma once

#include "workload.h"
#include "xmlrpc/core/value.h"

namespace codecbench {

XmlRpcValue toOurs(const Node& node);
Node fromOurs(const XmlRpcValue& value);

}  // namespace codecbench
