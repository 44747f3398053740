// The portable number readers against the Windows functions they stand in
// for: ReadColor against StrToIntExW with STIF_SUPPORT_HEX, ReadNumber against
// the C run-time's wcstol (whose long has 32 bits here and saturates).
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <cwchar>
#include <cwctype>
#include <sstream>
#include <string>
#include <vector>

#include "settings/SettingsText.h"

namespace {

std::string Show(const std::wstring& text) {
    std::ostringstream out;
    for (const wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F)
            out << static_cast<char>(c);
        else
            out << "\\u{" << std::hex << static_cast<unsigned>(c) << std::dec << "}";
    }
    return out.str();
}

const wchar_t* const Texts[] = {
    // empty, blanks, signs
    L"", L" ", L"7", L" \t7", L"\t\n 7", L"\r7", L"\v7", L"\f7", L"\x00A0" L"7", L"\x3000" L"7",
    L"+5", L"-5", L"- 5", L"+-5", L"--5", L"-+5", L" -17", L"0", L"-0", L"+0", L"00012",
    // hexadecimal
    L"0x", L"0X", L"0xg", L"0x10", L"0XfF", L"0xFF0000", L"0xff0000", L"0xABCDEF", L"-0x10", L"+0x10",
    L" -0x10", L"\t0x1f", L"0x 1", L" 0x 1", L"0 x1", L"00x10", L"0x0x10", L"x10", L"0x1g", L"0x-1",
    // overflow
    L"0x7FFFFFFF", L"0x80000000", L"0xFFFFFFFF", L"0x100000000", L"0x1FFFFFFFF", L"0xFFFFFFFFFFFFFFFF",
    L"0x10000000000000001", L"2147483647", L"2147483648", L"-2147483648", L"-2147483649", L"4294967295",
    L"4294967296", L"99999999999", L"-99999999999", L"9223372036854775807", L"9223372036854775808",
    L"18446744073709551617", L"99999999999999999999999999",
    // trailing text
    L"12abc", L"12 34", L"16711680zz", L"7\r\n", L"zz", L"abc", L"1.5", L"1e3",
};

struct ColorResult {
    bool Read;
    int32_t Value;
};

bool operator==(const ColorResult& a, const ColorResult& b) {
    return a.Read == b.Read && (!a.Read || a.Value == b.Value);
}

std::ostream& operator<<(std::ostream& out, const ColorResult& r) {
    return r.Read ? out << "read " << r.Value : out << "not read";
}

ColorResult ByWindows(const std::wstring& text) {
    int value = 0;
    const bool read = StrToIntExW(text.c_str(), STIF_SUPPORT_HEX, &value) != FALSE;
    return {read, value};
}

ColorResult ByReadColor(const std::wstring& text) {
    int32_t value = 0;
    const bool read = ReadColor(text, value);
    return {read, value};
}

TEST(StrToIntDifferential, ReadColorAgreesOnTheTable) {
    for (const wchar_t* text : Texts) EXPECT_EQ(ByReadColor(text), ByWindows(text)) << Show(text);
}

TEST(StrToIntDifferential, ReadColorAgreesOnEveryCharacterAroundANumber) {
    // Every UTF-16 unit as a leading character, as the character after a
    // decimal digit and in place of the "x". After "0x" only units up to
    // U+00FF are tried: for higher ones Wine's hexadecimal digit test looks
    // past its character table and reports arbitrary units as digits.
    for (unsigned code = 1; code <= 0xFFFF; ++code) {
        const wchar_t c = static_cast<wchar_t>(code);
        std::vector<std::wstring> texts{std::wstring{c, L'7'}, std::wstring{L'1', c, L'2'},
                                        std::wstring{L'0', c, L'1'}, std::wstring{L'-', c, L'3'}};
        if (code <= 0xFF) texts.push_back(std::wstring{L'0', L'x', c, L'1'});
        for (const std::wstring& text : texts) {
            ASSERT_EQ(ByReadColor(text), ByWindows(text)) << Show(text);
        }
    }
}

TEST(StrToIntDifferential, ReadNumberAgreesWithWcstolOnTheTable) {
    for (const wchar_t* text : Texts) {
        const long expected = std::wcstol(text, nullptr, 10);
        EXPECT_EQ(ReadNumber(text), static_cast<int32_t>(expected)) << Show(text);
    }
}

TEST(StrToIntDifferential, ReadNumberSkipsTheBlanksOfIswspace) {
    // The run-time also reads the digits of other scripts, which the settings
    // file never holds; the blanks before the number must be the same.
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const wchar_t c = static_cast<wchar_t>(code);
        ASSERT_EQ(IsNumberBlank(c), std::iswspace(c) != 0) << "U+" << std::hex << code;
        if (IsNumberBlank(c)) {
            ASSERT_EQ(ReadNumber(std::wstring{c, L'-', L'9'}), -9) << "U+" << std::hex << code;
        }
    }
}

}  // namespace
