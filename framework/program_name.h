// The program's name as the user sees it in Explorer: its file name without the extension
// ("Varnock"); empty when the system cannot tell it.
#pragma once

#include <string>

std::wstring ProgramName();
