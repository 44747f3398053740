#include "PositionNames.h"

namespace {

wchar_t FoldCapital(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

}  // namespace

std::wstring FoldCapitals(std::wstring name) {
    for (wchar_t& c : name) c = FoldCapital(c);
    return name;
}

bool BeginsWithIgnoringCase(const std::wstring& entry, const std::wstring& prefix) {
    if (prefix.size() > entry.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (FoldCapital(entry[i]) != FoldCapital(prefix[i])) return false;
    }
    return true;
}

std::wstring CaseName(const std::wstring& pattern, int n) {
    std::wstring name = pattern;
    const size_t at = name.find(L"%d");
    if (at != std::wstring::npos) name.replace(at, 2, std::to_wstring(n));
    return name;
}

std::wstring FirstFreeCaseName(const std::wstring& pattern,
                               const std::function<bool(const std::wstring&)>& someEntryBeginsWith) {
    for (int n = 1;; ++n) {
        std::wstring candidate = CaseName(pattern, n);
        if (!someEntryBeginsWith(candidate)) return candidate;
    }
}
