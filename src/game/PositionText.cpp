// The position text: the squares of the moves as "A1;B3;C1".
#include "GameState.h"

std::wstring GameState::ToText() const {
    const int32_t k = MoveCount == NoIndex ? 64 : MoveCount;
    std::wstring text;
    text.reserve(static_cast<size_t>(k) * 3);
    for (int32_t i = 0; i < k; ++i) {
        text += static_cast<wchar_t>(L'A' + MoveList[i].File);
        text += static_cast<wchar_t>(L'1' + MoveList[i].Rank);
        text += L';';
    }
    if (!text.empty()) text.pop_back();  // the final ";"
    return text;
}

namespace {

wchar_t FoldCapital(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

}  // namespace

void GameState::LoadFromText(const std::wstring& text) {
    Reset();
    size_t pos = 0;
    for (;;) {
        while (pos < text.size() && text[pos] == L';') ++pos;
        const size_t end = text.find(L';', pos);
        const size_t tokenEnd = end == std::wstring::npos ? text.size() : end;
        if (tokenEnd - pos < 2) return;  // also the empty token at the end
        const wchar_t letter = FoldCapital(text[pos]);
        const wchar_t digit = text[pos + 1];
        if (letter < L'a' || letter > L'h' || digit < L'1' || digit > L'8') return;
        const Square s{static_cast<int32_t>(letter - L'a'), static_cast<int32_t>(digit - L'1')};
        if (MoveCount > 63) return;
        if (MoveCount != 0 && !IsLegalMove(s)) return;
        MakeMove(s);
        pos = tokenEnd;
        if (pos >= text.size()) return;
    }
}
