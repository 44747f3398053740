// The HTML Help viewer: found through the registry entry of the HTML Help
// control, loaded once, and called through its wide entry function.
#pragma once

#include <windows.h>

#include <string>

// The viewer's wide entry function: (calling window, file, command, data).
using HtmlHelpEntry = HWND(WINAPI*)(HWND window, LPCWSTR file, UINT command, DWORD_PTR data);

// The commands the game sends, with the values of the published HTML Help interface.
constexpr UINT HelpCommandDisplayToc = 1;    // HH_DISPLAY_TOC
constexpr UINT HelpCommandHelpContext = 15;  // HH_HELP_CONTEXT

// Where the HTML Help control says its library lives (under HKEY_CLASSES_ROOT),
// the library's name when the registry does not help, and the ordinal of the
// wide entry function.
constexpr const char HtmlHelpServerKey[] = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
constexpr const char HtmlHelpLibraryName[] = "hhctrl.ocx";
constexpr WORD HtmlHelpEntryOrdinal = 15;

// Finds the viewer's entry function on first use and keeps it. The lookup
// happens at most once: after a failure (no library, or no entry in it) every
// later request gives up at once, even if the viewer has turned up meanwhile.
// The library is never unloaded.
class HtmlHelpLocator {
public:
    explicit HtmlHelpLocator(const char* serverKey = HtmlHelpServerKey,
                             const char* libraryName = HtmlHelpLibraryName);

    // The entry function, or nullptr when the viewer is not available.
    HtmlHelpEntry Locate();

    // The entry function's result, or nullptr when the viewer is not available.
    HWND Call(HWND window, const wchar_t* file, UINT command, DWORD_PTR data);

    HMODULE Module() const { return module_; }
    bool Failed() const { return failed_; }

private:
    // The library path named by the registry value, expanded when it is of
    // type REG_EXPAND_SZ; false when there is none that fits MAX_PATH bytes.
    bool ReadRegisteredPath(char (&path)[MAX_PATH]) const;

    std::string serverKey_;
    std::string libraryName_;
    HMODULE module_ = nullptr;
    HtmlHelpEntry entry_ = nullptr;
    bool failed_ = false;
};

// The process's one viewer: the help module, its entry and the help-failed
// flag live as long as the process.
HWND CallHtmlHelp(HWND window, const wchar_t* file, UINT command, DWORD_PTR data);
