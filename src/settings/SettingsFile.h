// The settings file "WOrvan.cfg" on disk: its per-user location, reading and
// writing its whole text, and LoadSettings / SaveSettings on the one Settings
// record. The element notation itself lives in SettingsText.h.
#pragma once

#include <cstdint>
#include <string>

// A short-lived view of the settings file, built for one load or one save.
class SettingsFile {
public:
    // The file "WOrvan.cfg" in GetSettingsFolder(), which this creates when needed.
    SettingsFile();
    // A file at an explicit path; no folder is created.
    explicit SettingsFile(std::wstring path);

    // Replaces Text by the file's content (UTF-8). False, Text empty, when the
    // file is missing, empty, held open by someone else or unreadable.
    bool LoadText();

    // Element reading and writing on Text (see SettingsText.h).
    std::wstring GetElement(const std::wstring& key, int32_t& position, const std::wstring& defaultValue) const;
    void AppendElement(const std::wstring& key, const std::wstring& value);

    // Writes Text as UTF-8 without a byte-order mark into TempPath() and then
    // moves it over Path. On any failure the temporary file is removed and the
    // earlier settings file stays as it was.
    void SaveText() const;

    // Where SaveText writes the new text before it replaces the file.
    std::wstring TempPath() const;

    std::wstring Path;
    std::wstring Text;
};

// The per-user folder of the settings file: the roaming application-data
// folder, "Darnholt", then the executable's file name without its extension.
// Creates the last two folders when they do not exist.
std::wstring GetSettingsFolder();

// Read and write the twelve saved fields of the global Settings.
void LoadSettings();
void SaveSettings();

// The executable's own full path with the extension ".chm".
std::wstring ComputeHelpFilePath();
