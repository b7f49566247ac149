// Human texts for the internet error codes the client reports.
#pragma once

#include <cstdint>
#include <string>

class InternetTransport;

// The reason for `code`: the fixed text of the codes the client knows, else the system's text
// for it as the transport gives it, else "Error " and the code in decimal.
std::string internetErrorReason(uint32_t code, const InternetTransport& transport);
