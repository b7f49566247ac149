// The process's command line, split by the Windows rules (quotes, backslashes) from its wide
// form, so that paths with spaces and non-ASCII names arrive whole. The program's own path is
// taken off first the way Windows found the program: in quotes, or unquoted with spaces in it
// (a hand-made Run key or scheduled task "C:\Program Files\Varnock\Varnock.exe", which Windows
// still starts), so that no word of it is read as an argument.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// What follows the program's path in `commandLine`, blanks after it skipped. An unquoted path
// is the shortest start, ending at a blank, that names `modulePath` (the whole path, or its end
// after a backslash, with or without ".exe", in any case); without one, the first word.
std::wstring_view CommandLineAfterProgram(std::wstring_view commandLine,
                                          std::wstring_view modulePath);

// The arguments after the program's path, as UTF-8 texts.
std::vector<std::string> CommandLineArguments(const wchar_t* commandLine,
                                              const wchar_t* modulePath);

// This process's executable file, as Windows loaded it.
std::wstring ModulePath();
