// Owners of kernel handles (Windows only): each closes its handle once, with the function the
// handle's kind needs.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
// A handle CloseHandle ends: a file, mutex, mapping, process, thread or snapshot.
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;

struct FindHandleCloser {
    void operator()(HANDLE search) const { ::FindClose(search); }
};
// A search from FindFirstFile.
using FindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindHandleCloser>;

// Owns what a function that fails with INVALID_HANDLE_VALUE returned (CreateFile,
// CreateToolhelp32Snapshot): empty on failure.
inline KernelHandle AdoptFileHandle(HANDLE handle) {
    return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
