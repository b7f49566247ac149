#include "gdi_counter.h"

#include <cstring>
#include <set>

namespace {

using CreatePenFn = HPEN(WINAPI*)(int, int, COLORREF);
using CreateSolidBrushFn = HBRUSH(WINAPI*)(COLORREF);
using DeleteObjectFn = BOOL(WINAPI*)(HGDIOBJ);

CreatePenFn realCreatePen = nullptr;
CreateSolidBrushFn realCreateSolidBrush = nullptr;
DeleteObjectFn realDeleteObject = nullptr;
std::set<HGDIOBJ>* alive = nullptr;
std::size_t created = 0;

HPEN WINAPI CountedCreatePen(int style, int width, COLORREF color) {
    HPEN pen = realCreatePen(style, width, color);
    if (pen != nullptr && alive != nullptr) {
        alive->insert(pen);
        ++created;
    }
    return pen;
}

HBRUSH WINAPI CountedCreateSolidBrush(COLORREF color) {
    HBRUSH brush = realCreateSolidBrush(color);
    if (brush != nullptr && alive != nullptr) {
        alive->insert(brush);
        ++created;
    }
    return brush;
}

BOOL WINAPI CountedDeleteObject(HGDIOBJ object) {
    if (alive != nullptr) {
        alive->erase(object);
    }
    return realDeleteObject(object);
}

// Replaces the program's import slot of gdi32's `name` with `replacement`; returns the
// previous target (nullptr when there is no such import).
void* Redirect(const char* name, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         desc->Name != 0; ++desc) {
        if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), "gdi32.dll") != 0) {
            continue;
        }
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) {
                continue;
            }
            DWORD oldProtect = 0;
            ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE,
                             &oldProtect);
            void* previous = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            ::VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), oldProtect,
                             &oldProtect);
            return previous;
        }
    }
    return nullptr;
}

}  // namespace

GdiCounter::GdiCounter() {
    static std::set<HGDIOBJ> objects;
    objects.clear();
    created = 0;
    alive = &objects;
    realCreatePen = reinterpret_cast<CreatePenFn>(
        Redirect("CreatePen", reinterpret_cast<void*>(&CountedCreatePen)));
    realCreateSolidBrush = reinterpret_cast<CreateSolidBrushFn>(
        Redirect("CreateSolidBrush", reinterpret_cast<void*>(&CountedCreateSolidBrush)));
    realDeleteObject = reinterpret_cast<DeleteObjectFn>(
        Redirect("DeleteObject", reinterpret_cast<void*>(&CountedDeleteObject)));
    m_installed =
        realCreatePen != nullptr && realCreateSolidBrush != nullptr && realDeleteObject != nullptr;
}

GdiCounter::~GdiCounter() {
    if (realCreatePen != nullptr) {
        Redirect("CreatePen", reinterpret_cast<void*>(realCreatePen));
    }
    if (realCreateSolidBrush != nullptr) {
        Redirect("CreateSolidBrush", reinterpret_cast<void*>(realCreateSolidBrush));
    }
    if (realDeleteObject != nullptr) {
        Redirect("DeleteObject", reinterpret_cast<void*>(realDeleteObject));
    }
    alive = nullptr;
}

std::size_t GdiCounter::Created() const {
    return created;
}

std::size_t GdiCounter::Alive() const {
    return alive != nullptr ? alive->size() : 0;
}
