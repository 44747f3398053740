// The settings file on disk: its location, reading, the replace-on-success
// save, and a file held open by someone else. Runs under Wine with a private
// prefix; files go to a scratch folder in the temporary folder, except for the
// one test of the real location, which removes what it made.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsText.h"

namespace {

// What this test program's settings folder is named after.
const wchar_t ExecutableName[] = L"orvan_win_tests";

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text) narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The names in a folder, sorted, without "." and "..".
std::vector<std::wstring> FolderEntries(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void RemoveTree(const std::wstring& path) {
    if (IsFolder(path)) {
        for (const std::wstring& name : FolderEntries(path)) RemoveTree(path + L"\\" + name);
        RemoveDirectoryW(path.c_str());
    } else {
        DeleteFileW(path.c_str());
    }
}

// The bytes of tests/fixtures/settings/<name>; the source path compiled in is
// a Unix path, which Wine serves on drive Z:.
std::string ReadFixture(const std::string& name) {
    std::string folder = __FILE__;
    folder.erase(folder.find_last_of("/\\") + 1);
    const std::string path = folder + "../fixtures/settings/" + name;
    for (const std::string& candidate : {path, "Z:" + path}) {
        std::ifstream file(candidate, std::ios::binary);
        if (file) return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    ADD_FAILURE() << "fixture not found: " << path;
    return std::string();
}

// The file bytes of a record's saved fields; all ASCII for the records used here.
std::string SavedBytes(const SettingsRecord& record) { return Narrow(SaveSettingsToText(record)); }

// A record whose saved fields differ from the initial values.
SettingsRecord EarlierRecord() {
    SettingsRecord record;
    record.CursorFile = L"C:\\Cursors\\earlier.cur";
    record.HandCursor = true;
    record.KnightImage = L"C:\\Pictures\\earlier & older.png";
    record.CellSize = 80;
    record.SolidColor = true;
    record.WhiteBgColor = 0x00336699;
    record.CalcDuration = 4321;
    return record;
}

SettingsRecord LoadRecordFrom(const std::wstring& path) {
    SettingsFile file(path);
    file.LoadText();
    SettingsRecord record;
    LoadSettingsFromText(file.Text, record, 125);
    return record;
}

void ExpectSameSavedFields(const SettingsRecord& actual, const SettingsRecord& expected) {
    EXPECT_EQ(SaveSettingsToText(actual), SaveSettingsToText(expected));
}

// A scratch folder of its own for each test, removed afterwards.
class SettingsFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        Folder = std::wstring(temp) + L"orvan-settings-" + std::to_wstring(GetCurrentProcessId());
        RemoveTree(Folder);
        ASSERT_TRUE(CreateDirectoryW(Folder.c_str(), nullptr)) << Narrow(Folder);
        Path = Folder + L"\\WOrvan.cfg";
    }
    void TearDown() override { RemoveTree(Folder); }

    std::wstring Folder;
    std::wstring Path;
};

TEST_F(SettingsFileOnDisk, LoadTextDecodesUtf8UpToTheFirstZeroByte) {
    const struct {
        const char* Label;
        std::string Bytes;  // "<missing>": no file at all
        bool Read;
        std::wstring Text;
    } cases[] = {
        {"no file", "<missing>", false, L""},
        {"0 bytes", "", false, L""},
        {"plain", "<CellSize>80</CellSize>\r\n", true, L"<CellSize>80</CellSize>\r\n"},
        {"byte-order mark", "\xEF\xBB\xBF<A>1</A>", true, L"\xFEFF<A>1</A>"},
        {"two-byte sequence", "<A>\xC3\xA4</A>", true, L"<A>\x00E4</A>"},
        {"four-byte sequence", "\xF0\x9F\x98\x80", true, L"\xD83D\xDE00"},
        {"malformed byte", "a\xFF" "b", true, L"a\xFFFD" L"b"},
        {"zero byte", std::string("<A>1</A>\0<B>2</B>", 17), true, L"<A>1</A>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Label);
        DeleteFileW(Path.c_str());
        if (c.Bytes != "<missing>") WriteBytes(Path, c.Bytes);
        SettingsFile file(Path);
        file.Text = L"left over";
        EXPECT_EQ(file.LoadText(), c.Read);
        EXPECT_EQ(file.Text, c.Text);
    }
}

TEST_F(SettingsFileOnDisk, SaveTextWritesUtf8WithoutByteOrderMarkOverTheEarlierFile) {
    WriteBytes(Path, "\xEF\xBB\xBF" + std::string(5000, 'x'));
    SettingsFile file(Path);
    file.AppendElement(L"KnightImage", L"C:\\Bilder\\Spa\x00DF & \xD83D\xDE00.png");
    file.SaveText();
    EXPECT_EQ(ReadBytes(Path), "<KnightImage>C:\\Bilder\\Spa\xC3\x9F &amp; \xF0\x9F\x98\x80.png</KnightImage>\r\n");
    EXPECT_EQ(FolderEntries(Folder), std::vector<std::wstring>{L"WOrvan.cfg"});

    SettingsFile reread(Path);
    ASSERT_TRUE(reread.LoadText());
    int32_t position = 0;
    EXPECT_EQ(reread.GetElement(L"KnightImage", position, L""), L"C:\\Bilder\\Spa\x00DF & \xD83D\xDE00.png");
    EXPECT_EQ(position, static_cast<int32_t>(reread.Text.size()) - 2);
}

TEST_F(SettingsFileOnDisk, FileWithByteOrderMarkLoadsAndIsSavedWithoutIt) {
    const SettingsRecord earlier = EarlierRecord();
    WriteBytes(Path, "\xEF\xBB\xBF" + SavedBytes(earlier));
    const SettingsRecord loaded = LoadRecordFrom(Path);
    ExpectSameSavedFields(loaded, earlier);

    SettingsFile file(Path);
    file.Text = SaveSettingsToText(loaded);
    file.SaveText();
    EXPECT_EQ(ReadBytes(Path), SavedBytes(earlier));
}

TEST_F(SettingsFileOnDisk, FailedSaveKeepsTheEarlierFile) {
    // A folder where the new text would be written first: the save cannot
    // write it, and the settings file must come through untouched.
    const std::string earlierBytes = SavedBytes(EarlierRecord());
    WriteBytes(Path, earlierBytes);
    SettingsFile file(Path);
    ASSERT_TRUE(CreateDirectoryW(file.TempPath().c_str(), nullptr));
    file.Text = SaveSettingsToText(SettingsRecord());
    file.SaveText();

    EXPECT_EQ(ReadBytes(Path), earlierBytes);
    ExpectSameSavedFields(LoadRecordFrom(Path), EarlierRecord());
    EXPECT_TRUE(IsFolder(file.TempPath())) << "the save removed something it did not make";
    EXPECT_EQ(FolderEntries(Folder).size(), 2u);

    // Once the way is clear the same save goes through and leaves no trace.
    RemoveDirectoryW(file.TempPath().c_str());
    file.SaveText();
    EXPECT_EQ(ReadBytes(Path), ReadFixture("first-run.cfg"));
    EXPECT_EQ(FolderEntries(Folder), std::vector<std::wstring>{L"WOrvan.cfg"});
}

TEST_F(SettingsFileOnDisk, FileHeldOpenByAnotherIsNeitherReadNorWritten) {
    const std::string earlierBytes = SavedBytes(EarlierRecord());
    const struct {
        const char* Label;
        DWORD Share;
    } holders[] = {
        {"holder shares nothing", 0},
        {"holder shares everything", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
    };
    for (const auto& holder : holders) {
        SCOPED_TRACE(holder.Label);
        WriteBytes(Path, earlierBytes);
        const HANDLE held =
            CreateFileW(Path.c_str(), GENERIC_READ, holder.Share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);

        SettingsFile reader(Path);
        EXPECT_FALSE(reader.LoadText());
        EXPECT_EQ(reader.Text, L"");

        SettingsFile writer(Path);
        writer.Text = SaveSettingsToText(SettingsRecord());
        writer.SaveText();
        CloseHandle(held);

        EXPECT_EQ(ReadBytes(Path), earlierBytes);
        EXPECT_EQ(FolderEntries(Folder), std::vector<std::wstring>{L"WOrvan.cfg"}) << "a temporary file was left";
        SettingsFile released(Path);
        EXPECT_TRUE(released.LoadText());
    }
}

TEST_F(SettingsFileOnDisk, SaveThatCannotReplaceLeavesNoTemporaryFile) {
    // A folder in place of the settings file: the new text is written, but it
    // cannot replace a folder, and the written file must not stay behind.
    ASSERT_TRUE(CreateDirectoryW(Path.c_str(), nullptr));
    SettingsFile file(Path);
    file.Text = SaveSettingsToText(SettingsRecord());
    file.SaveText();
    EXPECT_TRUE(IsFolder(Path));
    EXPECT_EQ(FolderEntries(Folder), std::vector<std::wstring>{L"WOrvan.cfg"});
}

TEST_F(SettingsFileOnDisk, SettingsFileReadsNoFileAsOneWithoutElements) {
    SettingsRecord record = EarlierRecord();
    SettingsFile file(Path);
    EXPECT_FALSE(file.LoadText());
    LoadSettingsFromText(file.Text, record, 125);
    SettingsRecord expected = EarlierRecord();
    expected.CursorFile = expected.KnightImage = L"";
    expected.HandCursor = expected.SolidColor = false;
    ExpectSameSavedFields(record, expected);
}

// The real location of this program's settings, in the test prefix's AppData.
class SettingsFileInAppData : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t appData[MAX_PATH] = {};
        ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_DEFAULT, appData), S_OK);
        AppData = appData;
        Company = AppData + L"\\Darnholt";
        Folder = Company + L"\\" + ExecutableName;
        // Only this test program's own folder is removed; a "Darnholt" folder
        // that was there before stays, with whatever else it holds.
        CompanyWasThere = IsFolder(Company);
        RemoveTree(Folder);
        SavedSettings = Settings;
    }
    void TearDown() override {
        Settings = SavedSettings;
        RemoveTree(Folder);
        if (!CompanyWasThere) RemoveDirectoryW(Company.c_str());
    }

    std::wstring AppData, Company, Folder;
    bool CompanyWasThere = false;
    SettingsRecord SavedSettings;
};

TEST_F(SettingsFileInAppData, FirstRunSaveWritesTheTwelveLinesAndCreatesTheFolders) {
    EXPECT_NE(AppData.find(L"\\AppData\\Roaming"), std::wstring::npos) << Narrow(AppData);
    Settings = SettingsRecord();
    SaveSettings();

    const std::wstring path = Folder + L"\\WOrvan.cfg";
    EXPECT_EQ(SettingsFile().Path, path);
    EXPECT_TRUE(IsFolder(Company));
    EXPECT_EQ(FolderEntries(Folder), std::vector<std::wstring>{L"WOrvan.cfg"});
    EXPECT_EQ(ReadBytes(path), ReadFixture("first-run.cfg"));
}

TEST_F(SettingsFileInAppData, LoadSettingsReadsTheFileIntoSettings) {
    ASSERT_FALSE(IsFolder(Folder));
    const std::wstring folder = GetSettingsFolder();
    EXPECT_EQ(folder, Folder);
    ASSERT_TRUE(IsFolder(Folder));

    SettingsRecord written = EarlierRecord();
    written.CellSize = 900;
    WriteBytes(Folder + L"\\WOrvan.cfg", SavedBytes(written));
    Settings = SettingsRecord();
    LoadSettings();

    const int32_t maxCellSize = MaxCellSize();
    EXPECT_GT(maxCellSize, 0);
    EXPECT_LT(maxCellSize, 900);
    SettingsRecord expected = EarlierRecord();
    expected.CellSize = maxCellSize;
    ExpectSameSavedFields(Settings, expected);

    // With the file gone every key reads as missing.
    DeleteFileW((Folder + L"\\WOrvan.cfg").c_str());
    LoadSettings();
    expected.CursorFile = expected.KnightImage = L"";
    expected.HandCursor = expected.SolidColor = false;
    ExpectSameSavedFields(Settings, expected);
}

TEST(HelpFilePath, IsTheExecutablePathWithTheChmExtension) {
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring modulePath = module;
    const std::wstring folder = modulePath.substr(0, modulePath.find_last_of(L'\\') + 1);
    EXPECT_EQ(ComputeHelpFilePath(), folder + ExecutableName + L".chm");
}

}  // namespace
