// Owners of what Windows hands out (Windows only): kernel handles, searches and blocks the
// system allocated for the caller; each gives its handle back once, with the function the
// handle's kind needs.
#pragma once

#include <windows.h>

#include "base/unique_handle.h"

struct KernelHandleTraits : NullWhenEmpty<HANDLE> {
    static void close(HANDLE handle) noexcept { ::CloseHandle(handle); }
};
// A handle CloseHandle ends: a file, mutex, mapping, process, thread or snapshot.
using KernelHandle = UniqueHandle<KernelHandleTraits>;

struct FindHandleTraits : NullWhenEmpty<HANDLE> {
    static void close(HANDLE search) noexcept { ::FindClose(search); }
};
// A search from FindFirstFile.
using FindHandle = UniqueHandle<FindHandleTraits>;

template <class Pointer>
struct LocalFreer : NullWhenEmpty<Pointer> {
    static void close(Pointer block) noexcept { ::LocalFree(block); }
};
// A block the system allocated with LocalAlloc for the caller (FormatMessage's text,
// CommandLineToArgvW's arguments).
template <class Pointer>
using LocalMemory = UniqueHandle<LocalFreer<Pointer>>;

// Owns what a function that fails with INVALID_HANDLE_VALUE returned (CreateFile,
// CreateToolhelp32Snapshot): empty on failure.
inline KernelHandle adoptFileHandle(HANDLE handle) {
    return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
