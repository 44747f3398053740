// The settings file's text: elements, value forms and the twelve saved fields.
// Runs natively (32-bit wchar_t) and under Wine (16-bit wchar_t).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "settings/SettingsText.h"

namespace {

constexpr int32_t Int32Max = std::numeric_limits<int32_t>::max();
constexpr int32_t Int32Min = std::numeric_limits<int32_t>::min();

// Readable failure messages for wide strings on both platforms.
std::string Show(const std::wstring& text) {
    std::ostringstream out;
    for (const wchar_t c : text) {
        const uint32_t code = static_cast<uint32_t>(c);
        if (code >= 0x20 && code < 0x7F)
            out << static_cast<char>(code);
        else
            out << "\\u{" << std::hex << code << std::dec << "}";
    }
    return out.str();
}

// The bytes of a file in tests/fixtures/settings, found from this source
// file's own path. Under Wine a path starting with "/" lies on drive Z:.
std::string ReadFixture(const std::string& name) {
    std::string folder = __FILE__;
    folder.erase(folder.find_last_of("/\\") + 1);
    const std::string path = folder + "../fixtures/settings/" + name;
    std::vector<std::string> candidates{path};
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') candidates.push_back("Z:" + path);
#endif
    for (const std::string& candidate : candidates) {
        std::ifstream file(candidate, std::ios::binary);
        if (file) return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    ADD_FAILURE() << "fixture not found: " << path;
    return std::string();
}

// The text as bytes; every character must be ASCII.
std::string AsciiBytes(const std::wstring& text) {
    std::string bytes;
    for (const wchar_t c : text) {
        EXPECT_LT(static_cast<uint32_t>(c), 0x80u) << Show(text);
        bytes += static_cast<char>(c);
    }
    return bytes;
}

std::wstring Element(const std::wstring& key, const std::wstring& rawValue) {
    return L"<" + key + L">" + rawValue + L"</" + key + L">\r\n";
}

// A record whose twelve saved fields all differ from the initial values.
SettingsRecord CustomRecord() {
    SettingsRecord record;
    record.CursorFile = L"C:\\Cursors\\knight.ani";
    record.HandCursor = true;
    record.WhiteImage = L"D:\\Pictures\\maple & \"oak\".png";
    record.BlackImage = L"D:\\Pictures\\<walnut>.jpg";
    record.KnightImage = L"E:\\it's a knight.gif";
    record.CellSize = 96;
    record.SolidColor = true;
    record.WhiteBgColor = 0x00C0FFEE;
    record.BlackBgColor = 0x00123456;
    record.WhiteFgColor = 0x000000FF;
    record.BlackFgColor = 0x0000FF00;
    record.CalcDuration = 2500;
    return record;
}

void ExpectSavedFieldsEqual(const SettingsRecord& actual, const SettingsRecord& expected, const std::string& label) {
    SCOPED_TRACE(label);
    EXPECT_EQ(actual.CursorFile, expected.CursorFile);
    EXPECT_EQ(actual.HandCursor, expected.HandCursor);
    EXPECT_EQ(actual.WhiteImage, expected.WhiteImage);
    EXPECT_EQ(actual.BlackImage, expected.BlackImage);
    EXPECT_EQ(actual.KnightImage, expected.KnightImage);
    EXPECT_EQ(actual.CellSize, expected.CellSize);
    EXPECT_EQ(actual.SolidColor, expected.SolidColor);
    EXPECT_EQ(actual.WhiteBgColor, expected.WhiteBgColor);
    EXPECT_EQ(actual.BlackBgColor, expected.BlackBgColor);
    EXPECT_EQ(actual.WhiteFgColor, expected.WhiteFgColor);
    EXPECT_EQ(actual.BlackFgColor, expected.BlackFgColor);
    EXPECT_EQ(actual.CalcDuration, expected.CalcDuration);
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// ---- Elements ----------------------------------------------------------------

struct GetElementCase {
    const wchar_t* Text;
    int32_t Position;
    const wchar_t* Default;
    const wchar_t* Expected;
    int32_t ExpectedPosition;
};

TEST(SettingsText, GetElementTakesTheFirstElementAtOrAfterThePosition) {
    const GetElementCase cases[] = {
        {L"<K>v</K>", 0, L"d", L"v", 8},
        {L"<K>v</K><K>w</K>", 0, L"d", L"v", 8},
        {L"<K>v</K><K>w</K>", 8, L"d", L"w", 16},
        {L"<K>v</K><K>w</K>", 1, L"d", L"w", 16},
        {L"<K>v</K>", 1, L"d", L"d", -1},
        {L"<K>v</K>", 8, L"d", L"d", -1},     // at the very end
        {L"<K>v</K>", 9, L"d", L"d", -1},     // beyond the end
        {L"<K>v</K>", -1, L"d", L"d", -1},
        {L"", 0, L"d", L"d", -1},
        {L"<K></K>", 0, L"d", L"d", -1},      // empty element: the default
        {L"<K></K><K>w</K>", 0, L"d", L"d", -1},
        {L"<K>v", 0, L"d", L"d", -1},         // no closing tag
        {L"<K>v</K", 0, L"d", L"d", -1},
        {L"<k>v</k>", 0, L"d", L"d", -1},     // keys are case-sensitive
        {L"<KK>v</KK>", 0, L"d", L"d", -1},
        {L"</K><K>v</K>", 0, L"d", L"v", 12},
        {L"<K> v \r\n</K>", 0, L"d", L" v \r\n", 12},  // verbatim, blanks and line breaks kept
        {L"<K>v<K>w</K>", 0, L"d", L"v<K>w", 12},      // the first closing tag ends it
        {L"\xFEFF<K>v</K>", 0, L"d", L"v", 9},          // a byte-order mark is stray text
        {L"x<K>v</K>y", 0, L"d", L"v", 9},
        {L"", 0, L"&amp;&lt;", L"&<", -1},             // the default is decoded too
    };
    for (const GetElementCase& c : cases) {
        int32_t position = c.Position;
        const std::wstring value = GetElement(c.Text, L"K", position, c.Default);
        EXPECT_EQ(value, c.Expected) << Show(c.Text) << " from " << c.Position;
        EXPECT_EQ(position, c.ExpectedPosition) << Show(c.Text) << " from " << c.Position;
    }
}

TEST(SettingsText, GetElementDecodesTheFiveReferencesInOnePass) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"&amp;", L"&"},
        {L"&lt;&gt;&quot;&#39;", L"<>\"'"},
        {L"&amp;lt;", L"&lt;"},  // what a reference produces never starts another
        {L"&amp;amp;", L"&amp;"},
        {L"&&lt;", L"&<"},
        {L"&apos;&#40;&LT;&lt", L"&apos;&#40;&LT;&lt"},  // anything else stays
        {L"a &amp b", L"a &amp b"},
        {L"C:\\a&amp;b\\&#39;c&#39;", L"C:\\a&b\\'c'"},
    };
    for (const auto& c : cases) {
        int32_t position = 0;
        EXPECT_EQ(GetElement(Element(L"K", c.first), L"K", position, L""), c.second) << Show(c.first);
    }
}

TEST(SettingsText, AppendElementEscapesAndEndsTheLineWithCrLf) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"", L"<K></K>\r\n"},
        {L"plain 70", L"<K>plain 70</K>\r\n"},
        {L"a&b<c>d\"e'f", L"<K>a&amp;b&lt;c&gt;d&quot;e&#39;f</K>\r\n"},
        {L"&lt;", L"<K>&amp;lt;</K>\r\n"},
        {L"</K>", L"<K>&lt;/K&gt;</K>\r\n"},
        {L"&&", L"<K>&amp;&amp;</K>\r\n"},
    };
    for (const auto& c : cases) {
        std::wstring text = L"<A>1</A>\r\n";
        AppendElement(text, L"K", c.first);
        EXPECT_EQ(text, std::wstring(L"<A>1</A>\r\n") + c.second) << Show(c.first);
    }
}

TEST(SettingsText, PathsRoundTripThroughTheFile) {
    const wchar_t* paths[] = {
        L"C:\\Games\\cursor.cur",
        L"&lt;",
        L"&amp;&#39;&quot;",
        L"C:\\a&b\\<x>\\\"y\"\\'z'.png",
        L"a</CursorFile>b<CursorFile>c",
        L"  leading and trailing blanks  ",
        L"C:\\Bilder\\Spa\x00DF \x2013 \x00C4rger.png",
        L"C:\\\xD83D\xDE00.png",  // a surrogate pair stays two units on every platform
    };
    for (const wchar_t* path : paths) {
        SettingsRecord written;
        written.CursorFile = path;
        written.WhiteImage = path;
        written.BlackImage = path;
        written.KnightImage = path;
        SettingsRecord read;
        LoadSettingsFromText(SaveSettingsToText(written), read, 125);
        ExpectSavedFieldsEqual(read, written, Show(path));
    }
}

// ---- Value forms ---------------------------------------------------------------

struct NumberCase {
    const wchar_t* Text;
    int32_t Expected;
};

TEST(SettingsText, ReadNumberReadsSaturatedDecimals) {
    const NumberCase cases[] = {
        {L"", 0},
        {L"0", 0},
        {L"70", 70},
        {L"  42", 42},
        {L"\t\n\v\f\r 42", 42},
        {L"\x00A0\x2000\x200A\x2028\x2029\x202F\x205F\x3000\x1680" L"5", 5},
        {L"\x0085" L"5", 0},  // not a blank to the Windows run-time
        {L"\x200B" L"5", 0},
        {L"+5", 5},
        {L"-5", -5},
        {L" -17", -17},
        {L"- 5", 0},
        {L"+-5", 0},
        {L"--5", 0},
        {L"12abc", 12},
        {L"12 34", 12},
        {L"abc", 0},
        {L"0x10", 0},
        {L"\xFF11", 0},  // only ASCII digits count
        {L"2147483647", Int32Max},
        {L"2147483648", Int32Max},
        {L"-2147483648", Int32Min},
        {L"-2147483649", Int32Min},
        {L"99999999999", Int32Max},
        {L"-99999999999", Int32Min},
        {L"4294967295", Int32Max},
        {L"99999999999999999999999999999999", Int32Max},
        {L"00000000000000000000000000000001", 1},
    };
    for (const NumberCase& c : cases) EXPECT_EQ(ReadNumber(c.Text), c.Expected) << Show(c.Text);
}

struct ColorCase {
    const wchar_t* Text;
    bool Read;
    int32_t Value;
};

// What StrToIntExW with STIF_SUPPORT_HEX returns for these texts, as measured
// under Wine (tests/win compares the two directly).
const ColorCase ColorCases[] = {
    {L"0xFF0000", true, 0xFF0000},
    {L"0xff0000", true, 0xFF0000},
    {L"0XfF", true, 0xFF},
    {L"16711680", true, 0xFF0000},
    {L"0", true, 0},
    {L"-0", true, 0},
    {L"+5", true, 5},
    {L"-5", true, -5},
    {L"-0x10", true, 16},  // the sign is ignored before a hexadecimal number
    {L"+0x10", true, 16},
    {L" -0x10", true, 16},
    {L" \t\n7", true, 7},
    {L"\r7", false, 0},
    {L"\v7", false, 0},
    {L"\f7", false, 0},
    {L"\x00A0" L"7", false, 0},
    {L"\x3000" L"7", false, 0},
    {L"", false, 0},
    {L"zz", false, 0},
    {L"0x", false, 0},
    {L"0X", false, 0},
    {L"0xg", false, 0},
    {L" 0x 1", false, 0},
    {L"- 5", false, 0},
    {L"+-5", false, 0},
    {L"--5", false, 0},
    {L"x10", false, 0},
    {L"12abc", true, 12},
    {L"0x1g", true, 1},
    {L"00x10", true, 0},
    {L"0 x1", true, 0},
    {L"0x0x10", true, 0},
    {L"0x7FFFFFFF", true, Int32Max},
    {L"0x80000000", true, Int32Min},
    {L"0xFFFFFFFF", true, -1},
    {L"0x100000000", true, 0},
    {L"0x1FFFFFFFF", true, -1},
    {L"0x10000000000000001", true, 1},
    {L"2147483647", true, Int32Max},
    {L"2147483648", true, Int32Min},
    {L"-2147483648", true, Int32Min},
    {L"-2147483649", true, Int32Max},
    {L"4294967295", true, -1},
    {L"4294967296", true, 0},
    {L"99999999999", true, 1215752191},
    {L"18446744073709551617", true, 1},
};

TEST(SettingsText, ReadColorReadsLikeStrToIntExWithHex) {
    for (const ColorCase& c : ColorCases) {
        int32_t value = 0x5A5A5A;
        EXPECT_EQ(ReadColor(c.Text, value), c.Read) << Show(c.Text);
        EXPECT_EQ(value, c.Read ? c.Value : 0x5A5A5A) << Show(c.Text);
    }
}

TEST(SettingsText, WritersUseTheFileForms) {
    const std::pair<ColorRef, const wchar_t*> colors[] = {
        {0x0000FF, L"0x0000ff"}, {0xFF0000, L"0xff0000"}, {0xFFFFFF, L"0xffffff"},
        {0x000000, L"0x000000"}, {0x010203, L"0x010203"}, {0x12ABCDEF, L"0xabcdef"},
    };
    for (const auto& c : colors) EXPECT_EQ(FormatColor(c.first), c.second) << std::hex << c.first;

    const std::pair<int32_t, const wchar_t*> cellSizes[] = {{70, L"70"}, {-5, L"-5"}, {Int32Min, L"-2147483648"}};
    for (const auto& c : cellSizes) EXPECT_EQ(FormatCellSize(c.first), c.second) << c.first;

    const std::pair<int32_t, const wchar_t*> durations[] = {
        {1000, L"1000"}, {-1, L"4294967295"}, {Int32Min, L"2147483648"}, {Int32Max, L"2147483647"}};
    for (const auto& c : durations) EXPECT_EQ(FormatCalcDuration(c.first), c.second) << c.first;
}

// ---- The twelve fields -------------------------------------------------------------

TEST(SettingsText, FirstRunTextMatchesTheFixtureByteForByte) {
    const std::string expected = ReadFixture("first-run.cfg");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(AsciiBytes(SaveSettingsToText(SettingsRecord())), expected);
}

TEST(SettingsText, SavedTextLoadsBackEveryField) {
    const SettingsRecord written = CustomRecord();
    SettingsRecord read;
    LoadSettingsFromText(SaveSettingsToText(written), read, 125);
    ExpectSavedFieldsEqual(read, written, "custom record");
}

TEST(SettingsText, FlagsAreTrueOnlyForTheSingleDigitOne) {
    const std::pair<const wchar_t*, bool> cases[] = {
        {L"1", true}, {L" 1", false}, {L"1 ", false}, {L"true", false}, {L"", false},
        {L"0", false}, {L"01", false}, {L"2", false}, {L"1\r\n", false},
    };
    for (const auto& c : cases) {
        SettingsRecord record;
        record.HandCursor = !c.second;
        record.SolidColor = !c.second;
        LoadSettingsFromText(Element(L"HandCursor", c.first) + Element(L"SolidColor", c.first), record, 125);
        EXPECT_EQ(record.HandCursor, c.second) << Show(c.first);
        EXPECT_EQ(record.SolidColor, c.second) << Show(c.first);
    }
}

TEST(SettingsText, ColoursAreTakenAsParsedOrKept) {
    const ColorRef kept = 0x00ABCDEF;
    const std::pair<const wchar_t*, ColorRef> cases[] = {
        {L"0xFF0000", 0xFF0000}, {L"16711680", 0xFF0000}, {L"0x0000ff", 0x0000FF},
        {L"zz", kept},           {L"", kept},             {L"0x", kept},
        {L"0x12345678", 0x12345678},  // the top byte is not masked
        {L"-1", 0xFFFFFFFF},
    };
    const std::pair<const wchar_t*, ColorRef SettingsRecord::*> fields[] = {
        {L"WhiteBgColor", &SettingsRecord::WhiteBgColor},
        {L"BlackBgColor", &SettingsRecord::BlackBgColor},
        {L"WhiteFgColor", &SettingsRecord::WhiteFgColor},
        {L"BlackFgColor", &SettingsRecord::BlackFgColor},
    };
    for (const auto& c : cases) {
        for (const auto& read : fields) {
            SettingsRecord record;
            for (const auto& field : fields) record.*field.second = kept;
            LoadSettingsFromText(Element(read.first, c.first), record, 125);
            for (const auto& field : fields)
                EXPECT_EQ(record.*field.second, field.first == read.first ? c.second : kept)
                    << Show(field.first) << " after reading " << Show(read.first) << " = " << Show(c.first);
        }
    }
}

struct CellSizeCase {
    const wchar_t* Element;  // nullptr: no element at all
    int32_t Current, Max, Expected;
};

TEST(SettingsText, CellSizeIsReadThenLimited) {
    const CellSizeCase cases[] = {
        {L"20", 70, 125, 70},     {L"900", 70, 125, 125},   {L"0", 90, 125, 90},
        {L"abc", 90, 125, 90},    {L"", 90, 125, 90},       {nullptr, 90, 125, 90},
        {L"100", 70, 125, 100},   {L" +100", 70, 125, 100}, {L"-5", 90, 125, 70},
        {L"99999999999", 70, 125, 125}, {L"-99999999999", 90, 125, 70},
        {nullptr, 20, 125, 70},   {nullptr, 300, 125, 125},  // the current value obeys the limits too
        {L"100", 70, 57, 57},     {nullptr, 70, 57, 57},    // a low screen: the upper limit wins
    };
    for (const CellSizeCase& c : cases) {
        SettingsRecord record;
        record.CellSize = c.Current;
        LoadSettingsFromText(c.Element ? Element(L"CellSize", c.Element) : L"", record, c.Max);
        EXPECT_EQ(record.CellSize, c.Expected)
            << (c.Element ? Show(c.Element) : "missing") << " current " << c.Current << " max " << c.Max;
    }
}

TEST(SettingsText, CalcDurationIsReadWithoutLimits) {
    const std::pair<const wchar_t*, int32_t> cases[] = {
        {L"0", 1000},          {L"abc", 1000},     {L"", 1000},         {L"50", 50},
        {L"250", 250},         {L" 7", 7},         {L"-20", -20},       {L"99999999999", Int32Max},
        {L"-99999999999", Int32Min},
        {L"4294967295", Int32Max},  // a negative limit written as "%u" comes back as the largest
    };
    for (const auto& c : cases) {
        SettingsRecord record;
        LoadSettingsFromText(Element(L"CalcDuration", c.first), record, 125);
        EXPECT_EQ(record.CalcDuration, c.second) << Show(c.first);
    }
}

TEST(SettingsText, MissingKeysFallBack) {
    // Paths read as empty and flags as false; numbers and colours keep their values.
    SettingsRecord record = CustomRecord();
    LoadSettingsFromText(L"", record, 125);
    SettingsRecord expected = CustomRecord();
    expected.CursorFile = expected.WhiteImage = expected.BlackImage = expected.KnightImage = L"";
    expected.HandCursor = expected.SolidColor = false;
    ExpectSavedFieldsEqual(record, expected, "empty text");
}

TEST(SettingsText, LayoutOfTheFileDoesNotMatter) {
    const SettingsRecord written = CustomRecord();
    const std::wstring text = SaveSettingsToText(written);
    const std::vector<std::wstring> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 12u);

    std::wstring reversed;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) reversed += *line + L"\r\n";
    std::wstring oneLine;
    for (const std::wstring& line : lines) oneLine += line;
    std::wstring withExtras = L"<?xml version=\"1.0\"?>\n<Settings>\n";
    for (const std::wstring& line : lines)
        withExtras += L"  " + line + L"\n<Unknown>1</Unknown> stray text <cellsize>5</cellsize>\n";
    withExtras += L"</Settings>";
    std::wstring laterDuplicates = text;
    for (const std::wstring& line : SplitLines(SaveSettingsToText(SettingsRecord()))) laterDuplicates += line + L"\n";

    const std::pair<const char*, std::wstring> layouts[] = {
        {"reordered", reversed},
        {"one line", oneLine},
        {"extra elements", withExtras},
        {"byte-order mark", L"\xFEFF" + text},
        {"later duplicates", laterDuplicates},
    };
    for (const auto& layout : layouts) {
        SettingsRecord read;
        LoadSettingsFromText(layout.second, read, 125);
        ExpectSavedFieldsEqual(read, written, layout.first);
    }
}

TEST(SettingsText, UnterminatedElementReadsAsMissingOnly) {
    const SettingsRecord written = CustomRecord();
    std::wstring text = SaveSettingsToText(written);
    const struct {
        const wchar_t* Line;
        const wchar_t* Cut;
    } cuts[] = {
        {L"<CursorFile>C:\\Cursors\\knight.ani</CursorFile>", L"<CursorFile>C:\\Cursors\\knight.ani"},
        {L"<CellSize>96</CellSize>", L"<CellSize>96</CellSize"},
        {L"<WhiteFgColor>0x0000ff</WhiteFgColor>", L"<WhiteFgColor>0x0000ff"},
    };
    for (const auto& cut : cuts) {
        const size_t at = text.find(cut.Line);
        ASSERT_NE(at, std::wstring::npos) << Show(cut.Line);
        text.replace(at, std::wstring(cut.Line).size(), cut.Cut);
    }
    SettingsRecord read;
    read.CellSize = 80;
    LoadSettingsFromText(text, read, 125);
    SettingsRecord expected = written;
    expected.CursorFile = L"";
    expected.CellSize = 80;
    expected.WhiteFgColor = SettingsRecord().WhiteFgColor;
    ExpectSavedFieldsEqual(read, expected, Show(text));
}

}  // namespace
