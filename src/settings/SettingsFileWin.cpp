// The settings file on disk. Nothing here reports an error: a file that cannot
// be read reads as a file without elements, a file that cannot be written is
// simply not written.
#include "SettingsFile.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "settings/Settings.h"
#include "settings/SettingsText.h"

namespace {

const wchar_t SettingsFileName[] = L"WOrvan.cfg";
const wchar_t CompanyFolderName[] = L"Darnholt";
const wchar_t TempSuffix[] = L".tmp";

void CreateFolderIfMissing(const wchar_t* folder) {
    if (!PathFileExistsW(folder)) CreateDirectoryW(folder, nullptr);
}

// The path in a MAX_PATH buffer with a component appended; PathAppendW stops
// at that length, as every path function used here does.
std::wstring AppendComponent(const std::wstring& folder, const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    lstrcpynW(buffer, folder.c_str(), MAX_PATH);
    PathAppendW(buffer, name);
    return buffer;
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, &bytes[0], size, nullptr, nullptr);
    return bytes;
}

std::wstring FromUtf8(const char* bytes, size_t count) {
    if (count == 0) return std::wstring();
    const int length = static_cast<int>(count);
    const int size = MultiByteToWideChar(CP_UTF8, 0, bytes, length, nullptr, 0);
    if (size <= 0) return std::wstring();
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes, length, &text[0], size);
    return text;
}

// Writes all bytes into a new file at path, opened without sharing. False if
// the file could not be created or not completely written.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes, bool& created) {
    created = false;
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    created = true;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    // The data must be on the disk before the rename makes it the settings file.
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    return ok;
}

// True while another process holds the file open so that it could not be
// opened for writing without sharing; a save then writes nothing.
bool IsHeldByAnother(const std::wstring& path) {
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return false;
    }
    return GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace

std::wstring GetSettingsFolder() {
    wchar_t name[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, name, MAX_PATH);
    PathStripPathW(name);
    PathRemoveExtensionW(name);

    wchar_t folder[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_DEFAULT, folder);
    PathAppendW(folder, CompanyFolderName);
    CreateFolderIfMissing(folder);
    PathAppendW(folder, name);
    CreateFolderIfMissing(folder);
    return folder;
}

SettingsFile::SettingsFile() : Path(AppendComponent(GetSettingsFolder(), SettingsFileName)) {}

SettingsFile::SettingsFile(std::wstring path) : Path(std::move(path)) {}

bool SettingsFile::LoadText() {
    Text.clear();
    // No sharing: while another process holds the file, it reads as missing.
    const HANDLE file =
        CreateFileW(Path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD size = GetFileSize(file, nullptr);  // the lower 32 bits
    if (size == 0 || size == INVALID_FILE_SIZE) {
        CloseHandle(file);
        return false;
    }
    std::vector<char> bytes;
    try {
        bytes.assign(static_cast<size_t>(size) + 1, '\0');
    } catch (const std::bad_alloc&) {
        CloseHandle(file);
        return false;
    }
    DWORD read = 0;
    const bool ok = ReadFile(file, bytes.data(), size, &read, nullptr) != FALSE;
    CloseHandle(file);
    if (!ok) return false;
    // Up to the first zero byte. A byte-order mark becomes U+FEFF at the start
    // of Text, which the element search passes over like any stray text.
    Text = FromUtf8(bytes.data(), std::strlen(bytes.data()));
    return true;
}

std::wstring SettingsFile::GetElement(const std::wstring& key, int32_t& position,
                                      const std::wstring& defaultValue) const {
    return ::GetElement(Text, key, position, defaultValue);
}

void SettingsFile::AppendElement(const std::wstring& key, const std::wstring& value) {
    ::AppendElement(Text, key, value);
}

std::wstring SettingsFile::TempPath() const { return Path + TempSuffix; }

void SettingsFile::SaveText() const {
    // A file held open by another process is not written. The replacement
    // below fails for most holders by itself, but not on Windows for one that
    // shares the file for deleting.
    if (IsHeldByAnother(Path)) return;
    // The new text goes into a file of its own first; only a completely
    // written file replaces the settings file, so a failed save never loses
    // the earlier settings.
    const std::wstring temp = TempPath();
    bool created = false;
    if (!WriteWholeFile(temp, ToUtf8(Text), created)) {
        // Remove only a file this save made; whatever else stands there (a
        // folder, another process's open file) is not ours.
        if (created) DeleteFileW(temp.c_str());
        return;
    }
    if (!MoveFileExW(temp.c_str(), Path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        DeleteFileW(temp.c_str());
}

void LoadSettings() {
    SettingsFile file;
    file.LoadText();  // with no file every key reads as missing
    LoadSettingsFromText(file.Text, Settings, MaxCellSize());
}

void SaveSettings() {
    SettingsFile file;
    file.Text = SaveSettingsToText(Settings);
    file.SaveText();
}

std::wstring ComputeHelpFilePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    PathRenameExtensionW(path, L".chm");
    return path;
}
