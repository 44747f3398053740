#include "VersionLabel.h"

#include <cwchar>

ProgramVersion ProductVersionOf(const VS_FIXEDFILEINFO& info) {
    ProgramVersion version;
    version.Major = HIWORD(info.dwProductVersionMS);
    version.Minor = LOWORD(info.dwProductVersionMS);
    version.Build = HIWORD(info.dwProductVersionLS);
    version.Revision = LOWORD(info.dwProductVersionLS);
    version.Release = (info.dwFileFlags & VS_FF_PRERELEASE) == 0;
    return version;
}

ProgramVersion ReadProductVersion(const wchar_t* path) {
    ProgramVersion version;
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &handle);
    if (size == 0) return version;

    const HANDLE heap = ::GetProcessHeap();
    void* block = ::HeapAlloc(heap, HEAP_ZERO_MEMORY, size);
    if (block == nullptr) return version;
    if (::GetFileVersionInfoW(path, 0, size, block)) {
        void* fixed = nullptr;
        UINT fixedSize = 0;
        if (::VerQueryValueW(block, L"\\", &fixed, &fixedSize) && fixed != nullptr &&
            fixedSize >= sizeof(VS_FIXEDFILEINFO)) {
            version = ProductVersionOf(*static_cast<const VS_FIXEDFILEINFO*>(fixed));
        }
    }
    ::HeapFree(heap, 0, block);
    return version;
}

ProgramVersion ReadOwnProductVersion() {
    wchar_t path[MAX_PATH] = {};
    if (::GetModuleFileNameW(nullptr, path, MAX_PATH - 1) == 0) return ProgramVersion{};
    return ReadProductVersion(path);
}

std::wstring VersionLabel(const ProgramVersion& version) {
    wchar_t text[64];
    if (version.Release) {
        std::swprintf(text, sizeof text / sizeof text[0], L"Version %d.%d", version.Major, version.Minor);
    } else {
        std::swprintf(text, sizeof text / sizeof text[0], L"Version \u00DF %d.%d.%d.%d", version.Major,
                      version.Minor, version.Build, version.Revision);
    }
    return text;
}
