// Owner of a C library stream: fclose when it goes away. Where the close's own result matters
// (the last buffered bytes reach the file there), release() it and fclose it by hand.
#pragma once

#include <cstdio>

#include "base/unique_handle.h"

struct CFileTraits : NullWhenEmpty<std::FILE*> {
    static void close(std::FILE* file) noexcept { std::fclose(file); }
};
using CFile = UniqueHandle<CFileTraits>;
