// The settings file's element notation and value forms. Plain C++: the file
// layer (SettingsFileWin.cpp) only moves this text to and from the disk.
#include "SettingsText.h"

#include <cstddef>
#include <limits>

namespace {

struct Reference {
    wchar_t Character;
    const wchar_t* Text;
};

// The five references, in the order the writer escapes them: "&" first, so
// that the "&" of the later ones is not escaped again.
constexpr Reference References[] = {
    {L'&', L"&amp;"}, {L'<', L"&lt;"}, {L'>', L"&gt;"}, {L'"', L"&quot;"}, {L'\'', L"&#39;"},
};

bool IsDecimalDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The digit value of an ASCII hexadecimal digit, or -1.
int HexDigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return static_cast<int>(c - L'0');
    if (c >= L'a' && c <= L'f') return static_cast<int>(c - L'a') + 10;
    if (c >= L'A' && c <= L'F') return static_cast<int>(c - L'A') + 10;
    return -1;
}

// StrToIntExW skips only these three before the sign.
bool IsColorBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n'; }

std::wstring OpeningTag(const std::wstring& key) { return L"<" + key + L">"; }
std::wstring ClosingTag(const std::wstring& key) { return L"</" + key + L">"; }

// The decoded value of the first element of key; empty when there is none.
std::wstring ElementValue(const std::wstring& text, const wchar_t* key) {
    int32_t position = 0;
    return GetElement(text, key, position, std::wstring());
}

void ReadColorInto(const std::wstring& text, const wchar_t* key, ColorRef& color) {
    int32_t value = 0;
    if (ReadColor(ElementValue(text, key), value)) color = static_cast<ColorRef>(value);
}

}  // namespace

std::wstring EscapeValue(const std::wstring& value) {
    // One pass over the characters gives the same text as the five
    // replace-alls in order, because only the first one produces an "&".
    std::wstring escaped;
    escaped.reserve(value.size());
    for (const wchar_t c : value) {
        const wchar_t* replacement = nullptr;
        for (const Reference& reference : References)
            if (reference.Character == c) replacement = reference.Text;
        if (replacement != nullptr)
            escaped += replacement;
        else
            escaped += c;
    }
    return escaped;
}

std::wstring DecodeValue(const std::wstring& value) {
    // Left to right in one pass: a character a reference produces never starts
    // another one, so "&amp;lt;" reads back as "&lt;".
    std::wstring decoded;
    decoded.reserve(value.size());
    size_t i = 0;
    while (i < value.size()) {
        bool replaced = false;
        if (value[i] == L'&') {
            for (const Reference& reference : References) {
                const std::wstring name(reference.Text);
                if (value.compare(i, name.size(), name) == 0) {
                    decoded += reference.Character;
                    i += name.size();
                    replaced = true;
                    break;
                }
            }
        }
        if (!replaced) decoded += value[i++];
    }
    return decoded;
}

std::wstring GetElement(const std::wstring& text, const std::wstring& key, int32_t& position,
                        const std::wstring& defaultValue) {
    std::wstring result = defaultValue;
    const std::wstring opening = OpeningTag(key);
    size_t openingAt = std::wstring::npos;
    if (position >= 0 && static_cast<size_t>(position) <= text.size())
        openingAt = text.find(opening, static_cast<size_t>(position));
    position = -1;
    if (openingAt != std::wstring::npos) {
        const size_t valueAt = openingAt + opening.size();
        const std::wstring closing = ClosingTag(key);
        const size_t closingAt = text.find(closing, valueAt);
        // An empty element counts as no value: the default stands.
        if (closingAt != std::wstring::npos && closingAt > valueAt) {
            result = text.substr(valueAt, closingAt - valueAt);
            position = static_cast<int32_t>(closingAt + closing.size());
        }
    }
    return DecodeValue(result);
}

void AppendElement(std::wstring& text, const std::wstring& key, const std::wstring& value) {
    text += OpeningTag(key);
    text += EscapeValue(value);
    text += ClosingTag(key);
    text += L"\r\n";
}

bool ReadFlag(const std::wstring& text) { return text == L"1"; }

bool IsNumberBlank(wchar_t c) {
    // The space characters of the Windows character-type table (C1_SPACE),
    // which iswspace of the C run-time reports; fixed here so that the reading
    // does not depend on the locale or the width of wchar_t.
    const uint32_t code = static_cast<uint32_t>(c);
    return (code >= 0x09 && code <= 0x0D) || code == 0x20 || code == 0xA0 || code == 0x1680 ||
           (code >= 0x2000 && code <= 0x200A) || code == 0x2028 || code == 0x2029 || code == 0x202F ||
           code == 0x205F || code == 0x3000;
}

int32_t ReadNumber(const std::wstring& text) {
    size_t i = 0;
    while (i < text.size() && IsNumberBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    // The magnitude stops growing one past the largest one that fits, so that
    // long digit strings cannot overflow it.
    const int64_t limit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    int64_t magnitude = 0;
    for (; i < text.size() && IsDecimalDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - L'0');
        if (magnitude > limit) magnitude = limit;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

bool ReadColor(const std::wstring& text, int32_t& value) {
    size_t i = 0;
    while (i < text.size() && IsColorBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
    // Both forms are summed in 32 unsigned bits: StrToIntExW sums in 64 bits
    // and keeps the low 32, which is the same number.
    uint32_t sum = 0;
    if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        i += 2;
        if (i >= text.size() || HexDigitValue(text[i]) < 0) return false;
        for (; i < text.size() && HexDigitValue(text[i]) >= 0; ++i)
            sum = sum * 16u + static_cast<uint32_t>(HexDigitValue(text[i]));
        // A sign before "0x" is read and then ignored.
        value = static_cast<int32_t>(sum);
        return true;
    }
    if (i >= text.size() || !IsDecimalDigit(text[i])) return false;
    for (; i < text.size() && IsDecimalDigit(text[i]); ++i)
        sum = sum * 10u + static_cast<uint32_t>(text[i] - L'0');
    if (negative) sum = 0u - sum;
    value = static_cast<int32_t>(sum);
    return true;
}

std::wstring FormatFlag(bool flag) { return flag ? L"1" : L"0"; }

std::wstring FormatCellSize(int32_t cellSize) { return std::to_wstring(cellSize); }

std::wstring FormatCalcDuration(int32_t duration) { return std::to_wstring(static_cast<uint32_t>(duration)); }

std::wstring FormatColor(ColorRef color) {
    // Blue, green, red: the colour printed as one six-digit hexadecimal
    // number; the top byte is not written.
    static const wchar_t Digits[] = L"0123456789abcdef";
    std::wstring text = L"0x";
    for (int shift = 20; shift >= 0; shift -= 4) text += Digits[(color >> shift) & 0xFu];
    return text;
}

void LoadSettingsFromText(const std::wstring& text, SettingsRecord& settings, int32_t maxCellSize) {
    // Every key is searched from the start, so the order of the elements does
    // not matter and the first element of a key wins.
    settings.CursorFile = ElementValue(text, L"CursorFile");
    settings.HandCursor = ReadFlag(ElementValue(text, L"HandCursor"));
    settings.WhiteImage = ElementValue(text, L"WhiteImage");
    settings.BlackImage = ElementValue(text, L"BlackImage");
    settings.KnightImage = ElementValue(text, L"KnightImage");
    settings.CellSize = LimitCellSize(ReadNumber(ElementValue(text, L"CellSize")), settings.CellSize, maxCellSize);
    settings.SolidColor = ReadFlag(ElementValue(text, L"SolidColor"));
    ReadColorInto(text, L"WhiteBgColor", settings.WhiteBgColor);
    ReadColorInto(text, L"BlackBgColor", settings.BlackBgColor);
    ReadColorInto(text, L"WhiteFgColor", settings.WhiteFgColor);
    ReadColorInto(text, L"BlackFgColor", settings.BlackFgColor);
    const int32_t duration = ReadNumber(ElementValue(text, L"CalcDuration"));
    if (duration != 0) settings.CalcDuration = duration;
}

std::wstring SaveSettingsToText(const SettingsRecord& settings) {
    std::wstring text;
    AppendElement(text, L"CursorFile", settings.CursorFile);
    AppendElement(text, L"HandCursor", FormatFlag(settings.HandCursor));
    AppendElement(text, L"WhiteImage", settings.WhiteImage);
    AppendElement(text, L"BlackImage", settings.BlackImage);
    AppendElement(text, L"KnightImage", settings.KnightImage);
    AppendElement(text, L"CellSize", FormatCellSize(settings.CellSize));
    AppendElement(text, L"SolidColor", FormatFlag(settings.SolidColor));
    AppendElement(text, L"WhiteBgColor", FormatColor(settings.WhiteBgColor));
    AppendElement(text, L"BlackBgColor", FormatColor(settings.BlackBgColor));
    AppendElement(text, L"WhiteFgColor", FormatColor(settings.WhiteFgColor));
    AppendElement(text, L"BlackFgColor", FormatColor(settings.BlackFgColor));
    AppendElement(text, L"CalcDuration", FormatCalcDuration(settings.CalcDuration));
    return text;
}
