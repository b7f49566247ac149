// The process's command line, split by the Windows rules (quotes, backslashes) from its wide
// form, so that paths with spaces and non-ASCII names arrive whole.
#pragma once

#include <string>
#include <vector>

// The arguments after the program name, as UTF-8 texts.
std::vector<std::string> CommandLineArguments(const wchar_t* commandLine);
