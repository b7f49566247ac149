// Scripted answers and small helpers shared by the XmlRpcClient tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fake_internet_transport.h"

namespace clienttest {

inline const char kFldigiReply[] =
    "<?xml version=\"1.0\"?>\r\n<methodResponse><params><param>\r\n\t<value>fldigi</value>\r\n"
    "</param></params></methodResponse>\r\n";

inline std::string faultReply(const std::string& faultValue) {
    return "<?xml version=\"1.0\"?>\r\n<methodResponse><fault>\r\n\t" + faultValue +
           "\r\n</fault></methodResponse>\r\n";
}

inline std::string faultStruct(const std::string& faultStringValue) {
    return "<value><struct><member><name>faultCode</name><value><i4>-1</i4></value></member>"
           "<member><name>faultString</name>" +
           faultStringValue + "</member></struct></value>";
}

inline FakeResponse answer(uint32_t status, const char* statusText,
                           std::vector<std::string> chunks) {
    FakeResponse response;
    response.status = status;
    response.statusText = statusText;
    response.bodyChunks = std::move(chunks);
    return response;
}

inline FakeResponse okAnswer(const std::string& body) {
    return answer(200, "OK", {body});
}

inline size_t countCalls(const FakeInternetTransport& fake, const std::string& prefix) {
    size_t n = 0;
    for (const std::string& call : fake.calls) {
        n += call.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    }
    return n;
}

inline const char kUrl[] = "http://127.0.0.1:7362/RPC2";
inline const char kAuthText[] =
    "HTTP Basic authentication failed. You need to provide a username and password.";

}  // namespace clienttest
