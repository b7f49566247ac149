// Owner of a C library stream: fclose when it goes away. Where the close's own result matters
// (the last buffered bytes reach the file there), release() it and fclose it by hand.
#pragma once

#include <cstdio>
#include <memory>

struct CFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using CFile = std::unique_ptr<std::FILE, CFileCloser>;
