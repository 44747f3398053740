// Finding the HTML Help viewer through the registry, under Wine in the test
// prefix. A made-up class id under HKEY_CLASSES_ROOT stands for the viewer's
// entry, and copies of the system's hhctrl.ocx under other names in a scratch
// folder stand for the libraries it may name, so that the test can tell which
// one was loaded. The scratch folder is also made the DLL search folder, so
// that a library name without a folder finds the copies there.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/HtmlHelp.h"

namespace {

const char TestClassKey[] = "CLSID\\{5D1E7A30-2C4B-4F8E-9A61-0B7C3D2E1F40}";
const char TestServerKey[] = "CLSID\\{5D1E7A30-2C4B-4F8E-9A61-0B7C3D2E1F40}\\InprocServer32";

// Scratch folder name inside %TEMP%, one per test process.
std::string ScratchName() { return "orvan-help-test-" + std::to_string(GetCurrentProcessId()); }

std::string TempFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return temp;  // ends with a backslash
}

std::string ScratchFolder() { return TempFolder() + ScratchName(); }

std::string SystemFile(const char* name) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system) + "\\" + name;
}

// A copy of a system library in the scratch folder under another name.
void PlaceCopy(const char* systemName, const std::string& name) {
    const std::string source = SystemFile(systemName);
    const std::string target = ScratchFolder() + "\\" + name;
    ASSERT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE)) << source << " -> " << target;
}

void PlaceViewerCopy(const std::string& name) { PlaceCopy("hhctrl.ocx", name); }

void RegisterServer(DWORD type, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, TestServerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const LONG set = RegSetValueExA(key, nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    ASSERT_EQ(set, ERROR_SUCCESS);
}

void UnregisterServer() { RegDeleteTreeA(HKEY_CLASSES_ROOT, TestClassKey); }

// The file name (without folder) of a loaded module.
std::string FileNameOf(HMODULE module) {
    char path[MAX_PATH] = {};
    if (module == nullptr || GetModuleFileNameA(module, path, MAX_PATH) == 0) return "<none>";
    const std::string full = path;
    return full.substr(full.find_last_of('\\') + 1);
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(folder + "\\" + name);
            else DeleteFileA((folder + "\\" + name).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

class HtmlHelpLookup : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Wine reuses process ids, so a folder left by an earlier run that
        // was stopped may be there.
        RemoveTree(ScratchFolder());
        CreateDirectoryA(ScratchFolder().c_str(), nullptr);
    }

    static void TearDownTestSuite() { RemoveTree(ScratchFolder()); }

    void SetUp() override {
        UnregisterServer();
        SetDllDirectoryA(ScratchFolder().c_str());
    }

    void TearDown() override {
        UnregisterServer();
        SetDllDirectoryA(nullptr);
        // The game never unloads the viewer; the test does, so that the
        // scratch copies can be deleted.
        for (HMODULE module : loaded_) FreeLibrary(module);
    }

    void KeepForUnload(HMODULE module) {
        if (module != nullptr) loaded_.push_back(module);
    }

private:
    std::vector<HMODULE> loaded_;
};

struct LookupCase {
    const char* name;
    bool registered;        // whether the class id's server key exists
    DWORD type;             // REG_SZ or REG_EXPAND_SZ
    std::string value;      // the key's default value
    const char* libraryName;  // the name used when the registry does not help
    const char* expected;   // file name of the library loaded, nullptr: none
};

TEST_F(HtmlHelpLookup, LoadsTheLibraryTheRegistryNamesOrFallsBackToTheName) {
    // Files that exist in the scratch folder. "literal.ocx" lies where an
    // expanded "%TEMP%\..." would point, so a REG_SZ value that were expanded
    // by mistake would load it.
    for (const char* name : {"plain.ocx", "expanded.ocx", "literal.ocx", "fallback.ocx"}) PlaceViewerCopy(name);
    PlaceCopy("msimg32.dll", "no-entry.ocx");

    const std::string scratch = ScratchFolder();
    // A folder whose name brings "<folder>\fit.ocx" to 259 characters, the
    // most that 260 bytes hold with the terminating zero.
    const std::string fit = "\\fit.ocx";
    const std::string longDir = scratch + "\\" + std::string(MAX_PATH - 1 - scratch.size() - 1 - fit.size(), 'd');
    ASSERT_EQ((longDir + fit).size(), static_cast<size_t>(MAX_PATH - 1));
    ASSERT_TRUE(CreateDirectoryA(longDir.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(SystemFile("hhctrl.ocx").c_str(), (longDir + fit).c_str(), FALSE));
    SetEnvironmentVariableA("ORVAN_HELP_LONG_DIR", longDir.c_str());
    const std::string viaTemp = "%TEMP%\\" + ScratchName();
    const std::vector<LookupCase> cases = {
        {"REG_SZ path", true, REG_SZ, scratch + "\\plain.ocx", "fallback.ocx", "plain.ocx"},
        {"REG_EXPAND_SZ path from %TEMP%", true, REG_EXPAND_SZ, viaTemp + "\\expanded.ocx", "fallback.ocx",
         "expanded.ocx"},
        {"REG_SZ is taken literally", true, REG_SZ, viaTemp + "\\literal.ocx", "fallback.ocx", "fallback.ocx"},
        {"key missing", false, REG_SZ, "", "fallback.ocx", "fallback.ocx"},
        {"registered file missing", true, REG_SZ, scratch + "\\absent.ocx", "fallback.ocx", "fallback.ocx"},
        {"empty value", true, REG_SZ, "", "fallback.ocx", "fallback.ocx"},
        {"REG_EXPAND_SZ filling all 260 bytes", true, REG_EXPAND_SZ, "%ORVAN_HELP_LONG_DIR%\\fit.ocx",
         "fallback.ocx", "fit.ocx"},
        {"key missing, no library by name", false, REG_SZ, "", "absent.ocx", nullptr},
        {"registered file missing, no library by name", true, REG_SZ, scratch + "\\absent.ocx", "absent.ocx",
         nullptr},
        {"library without entry 15", true, REG_SZ, scratch + "\\no-entry.ocx", "fallback.ocx", nullptr},
    };

    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.name);
        UnregisterServer();
        if (c.registered) RegisterServer(c.type, c.value);

        HtmlHelpLocator locator(TestServerKey, c.libraryName);
        const HtmlHelpEntry entry = locator.Locate();
        KeepForUnload(locator.Module());

        if (c.expected == nullptr) {
            EXPECT_EQ(entry, nullptr);
            EXPECT_TRUE(locator.Failed());
            continue;
        }
        EXPECT_FALSE(locator.Failed());
        EXPECT_EQ(FileNameOf(locator.Module()), c.expected);
        // The entry is the wide help function of that very library.
        const FARPROC wide = GetProcAddress(locator.Module(), "HtmlHelpW");
        ASSERT_NE(wide, nullptr);
        EXPECT_EQ(reinterpret_cast<void*>(entry), reinterpret_cast<void*>(wide));
    }
}

TEST_F(HtmlHelpLookup, TheTestLibraryWithoutEntry15HasNone) {
    // The "library without entry 15" case above only means something if the
    // stand-in really lacks that export.
    PlaceCopy("msimg32.dll", "no-entry-check.ocx");
    const HMODULE module = LoadLibraryExA((ScratchFolder() + "\\no-entry-check.ocx").c_str(), nullptr, 0);
    ASSERT_NE(module, nullptr);
    KeepForUnload(module);
    EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(HtmlHelpEntryOrdinal)), nullptr);
}

TEST_F(HtmlHelpLookup, AfterOneFailureNeverTriesAgain) {
    HtmlHelpLocator locator(TestServerKey, "late.ocx");
    EXPECT_EQ(locator.Locate(), nullptr);
    ASSERT_TRUE(locator.Failed());

    // The viewer turns up, both in the registry and by name.
    PlaceViewerCopy("late.ocx");
    RegisterServer(REG_SZ, ScratchFolder() + "\\late.ocx");
    const HMODULE reachable = LoadLibraryExA("late.ocx", nullptr, 0);
    ASSERT_NE(reachable, nullptr);
    FreeLibrary(reachable);
    ASSERT_EQ(GetModuleHandleA("late.ocx"), nullptr);

    EXPECT_EQ(locator.Locate(), nullptr);
    EXPECT_EQ(locator.Call(nullptr, L"absent.chm", HelpCommandDisplayToc, 0), nullptr);
    EXPECT_EQ(locator.Module(), nullptr);
    EXPECT_TRUE(locator.Failed());
    // Nothing loaded it behind the test's back.
    EXPECT_EQ(GetModuleHandleA("late.ocx"), nullptr);
}

TEST_F(HtmlHelpLookup, AfterMissingEntryNeverTriesAgain) {
    PlaceCopy("msimg32.dll", "entryless.ocx");
    RegisterServer(REG_SZ, ScratchFolder() + "\\entryless.ocx");
    HtmlHelpLocator locator(TestServerKey, "entryless-fallback.ocx");
    EXPECT_EQ(locator.Locate(), nullptr);
    KeepForUnload(locator.Module());
    ASSERT_TRUE(locator.Failed());

    // A proper viewer is registered now; the failed lookup stands.
    PlaceViewerCopy("entryless-fallback.ocx");
    PlaceViewerCopy("proper.ocx");
    RegisterServer(REG_SZ, ScratchFolder() + "\\proper.ocx");
    EXPECT_EQ(locator.Locate(), nullptr);
    EXPECT_EQ(GetModuleHandleA("proper.ocx"), nullptr);
    EXPECT_EQ(GetModuleHandleA("entryless-fallback.ocx"), nullptr);
}

TEST_F(HtmlHelpLookup, ASuccessfulLookupIsKept) {
    PlaceViewerCopy("first.ocx");
    PlaceViewerCopy("second.ocx");
    RegisterServer(REG_SZ, ScratchFolder() + "\\first.ocx");
    HtmlHelpLocator locator(TestServerKey, "second.ocx");
    const HtmlHelpEntry first = locator.Locate();
    KeepForUnload(locator.Module());
    ASSERT_NE(first, nullptr);

    RegisterServer(REG_SZ, ScratchFolder() + "\\second.ocx");
    EXPECT_EQ(locator.Locate(), first);
    EXPECT_EQ(FileNameOf(locator.Module()), "first.ocx");
    EXPECT_EQ(GetModuleHandleA("second.ocx"), nullptr);
}

TEST_F(HtmlHelpLookup, TheGameReadsTheHtmlHelpControlsOwnEntry) {
    // The prefix's own entry for the HTML Help control is pointed at a copy
    // for the time of the test; the game's default lookup must follow it.
    const char* const realKey = "CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32";
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, realKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    char saved[MAX_PATH] = {};
    DWORD savedType = 0;
    DWORD savedSize = sizeof saved;
    ASSERT_EQ(RegQueryValueExA(key, nullptr, nullptr, &savedType, reinterpret_cast<BYTE*>(saved), &savedSize),
              ERROR_SUCCESS);

    PlaceViewerCopy("real-entry.ocx");
    const std::string copy = ScratchFolder() + "\\real-entry.ocx";
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(copy.c_str()),
                   static_cast<DWORD>(copy.size() + 1));

    HtmlHelpLocator locator;
    const HtmlHelpEntry entry = locator.Locate();
    KeepForUnload(locator.Module());

    RegSetValueExA(key, nullptr, 0, savedType, reinterpret_cast<const BYTE*>(saved), savedSize);
    RegCloseKey(key);

    EXPECT_NE(entry, nullptr);
    EXPECT_EQ(FileNameOf(locator.Module()), "real-entry.ocx");
}

}  // namespace
