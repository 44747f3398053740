#include "HtmlHelp.h"

#include <cstring>

HtmlHelpLocator::HtmlHelpLocator(const char* serverKey, const char* libraryName)
    : serverKey_(serverKey), libraryName_(libraryName) {}

bool HtmlHelpLocator::ReadRegisteredPath(char (&path)[MAX_PATH]) const {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, serverKey_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;

    bool found = false;
    char value[MAX_PATH] = {};
    DWORD type = 0;
    DWORD size = sizeof value;
    if (::RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS) {
        // A value stored without its terminating zero still ends here.
        value[MAX_PATH - 1] = '\0';
        if (type == REG_EXPAND_SZ) {
            // The count includes the terminating zero; a larger count means
            // the expansion did not fit.
            const DWORD length = ::ExpandEnvironmentStringsA(value, path, MAX_PATH);
            found = length != 0 && length <= MAX_PATH;
        } else {
            std::memcpy(path, value, MAX_PATH);
            found = true;
        }
    }
    ::RegCloseKey(key);
    return found;
}

HtmlHelpEntry HtmlHelpLocator::Locate() {
    if (failed_) return nullptr;

    if (module_ == nullptr) {
        char path[MAX_PATH] = {};
        if (ReadRegisteredPath(path)) module_ = ::LoadLibraryExA(path, nullptr, 0);
        if (module_ == nullptr) module_ = ::LoadLibraryExA(libraryName_.c_str(), nullptr, 0);
        if (module_ == nullptr) {
            failed_ = true;
            return nullptr;
        }
    }

    if (entry_ == nullptr) {
        const FARPROC proc = ::GetProcAddress(module_, MAKEINTRESOURCEA(HtmlHelpEntryOrdinal));
        if (proc == nullptr) {
            failed_ = true;
            return nullptr;
        }
        entry_ = reinterpret_cast<HtmlHelpEntry>(reinterpret_cast<void*>(proc));
    }
    return entry_;
}

HWND HtmlHelpLocator::Call(HWND window, const wchar_t* file, UINT command, DWORD_PTR data) {
    const HtmlHelpEntry entry = Locate();
    return entry != nullptr ? entry(window, file, command, data) : nullptr;
}

HWND CallHtmlHelp(HWND window, const wchar_t* file, UINT command, DWORD_PTR data) {
    static HtmlHelpLocator viewer;
    return viewer.Call(window, file, command, data);
}
