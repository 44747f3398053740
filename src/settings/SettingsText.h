// The text of the settings file, without any file or platform call: reading and
// writing elements, the value forms of the saved fields, and the mapping of the
// twelve saved fields of a SettingsRecord onto elements.
#pragma once

#include <cstdint>
#include <string>

#include "settings/Settings.h"

// The value of the first element <key>...</key> whose opening tag lies at or
// after position. On return position is the index just past the closing tag,
// or -1 when no value was taken (no opening tag, no closing tag, or an empty
// element); the default is returned then. The result is decoded either way.
std::wstring GetElement(const std::wstring& text, const std::wstring& key, int32_t& position,
                        const std::wstring& defaultValue);

// Appends "<key>escaped value</key>\r\n" to text.
void AppendElement(std::wstring& text, const std::wstring& key, const std::wstring& value);

// The five character references of element values.
std::wstring EscapeValue(const std::wstring& value);
std::wstring DecodeValue(const std::wstring& value);

// A flag is true exactly when its text is "1".
bool ReadFlag(const std::wstring& text);

// Leading blanks, an optional sign and decimal digits up to the first
// non-digit; beyond the signed 32-bit range the nearest limit. 0 when there
// are no digits, so 0 means "keep the current value" to the callers.
int32_t ReadNumber(const std::wstring& text);

// The blanks ReadNumber skips: those the Windows C run-time's iswspace knows.
bool IsNumberBlank(wchar_t c);

// A colour the way StrToIntExW with STIF_SUPPORT_HEX reads it: blanks (space,
// tab, line feed), one optional sign, then hexadecimal digits after "0x"/"0X"
// (the sign is ignored there) or decimal digits; at least one digit, trailing
// text ignored, the value wrapped to its low 32 bits. False, value untouched,
// when there is no number.
bool ReadColor(const std::wstring& text, int32_t& value);

std::wstring FormatFlag(bool flag);                // "1" / "0"
std::wstring FormatCellSize(int32_t cellSize);     // "%d"
std::wstring FormatCalcDuration(int32_t duration); // "%u" of the same 32 bits
std::wstring FormatColor(ColorRef color);          // "0x" + blue, green, red as %02x

// Reads the twelve saved fields from text into settings; missing or unreadable
// keys fall back as the value forms say. CellSize is limited to 70..maxCellSize.
void LoadSettingsFromText(const std::wstring& text, SettingsRecord& settings, int32_t maxCellSize);

// The twelve element lines of the settings file, in their fixed order.
std::wstring SaveSettingsToText(const SettingsRecord& settings);
