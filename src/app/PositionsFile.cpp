// Named positions: the .ini beside the executable, section "WOrvan", one key
// per name and the position text as value; the sorted name list of the main
// dialog mirrors its keys.
#include <shlwapi.h>

#include <vector>

#include "MainDlg.h"
#include "game/PositionNames.h"

namespace {

constexpr wchar_t Section[] = L"WOrvan";
constexpr DWORD LongestValue = 255;

std::wstring PositionsFilePath() {
    wchar_t path[MAX_PATH + 8] = L"";
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ::PathRemoveExtensionW(path);
    ::PathAddExtensionW(path, L".ini");
    return path;
}

bool ListHasEntryBeginningWith(HWND combo, const std::wstring& text) {
    return ::SendMessageW(combo, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str())) !=
           CB_ERR;
}

}  // namespace

std::wstring CMainDlg::NameFieldText() const {
    const int length = ::GetWindowTextLengthW(PositionsCombo);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(PositionsCombo, text.data(), length + 1);
    text.resize(static_cast<size_t>(got > 0 ? got : 0));
    return text;
}

void CMainDlg::ListPositions() {
    // All key names, however many: the buffer grows until they fit (the
    // profile function signals a cut list by returning size - 2).
    const std::wstring path = PositionsFilePath();
    std::vector<wchar_t> names(2048);
    for (;;) {
        const DWORD got = ::GetPrivateProfileStringW(Section, nullptr, L"", names.data(),
                                                     static_cast<DWORD>(names.size()), path.c_str());
        if (got + 2 < names.size() || names.size() >= (1u << 26)) break;
        names.assign(names.size() * 2, L'\0');
    }
    for (const wchar_t* name = names.data(); *name != L'\0'; name += wcslen(name) + 1) {
        const std::wstring folded = FoldCapitals(name);
        ::SendMessageW(PositionsCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(folded.c_str()));
    }
}

void CMainDlg::LoadPosition() {
    const std::wstring name = NameFieldText();
    if (name.empty()) return;
    wchar_t value[LongestValue + 1] = L"";
    ::GetPrivateProfileStringW(Section, name.c_str(), L"", value, LongestValue + 1, PositionsFilePath().c_str());
    BoardWnd.Play.Game.LoadFromText(value);
    BoardWnd.RepaintBoardNow();
}

void CMainDlg::SavePosition() {
    const std::wstring text = BoardWnd.Play.Game.ToText();
    std::wstring name = NameFieldText();
    if (!name.empty()) {
        name = FoldCapitals(name);
        if (!ListHasEntryBeginningWith(PositionsCombo, name))
            ::SendMessageW(PositionsCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    } else {
        name = FirstFreeCaseName(AppModule.LoadResourceString(IDS_CASE_NAME), [this](const std::wstring& candidate) {
            return ListHasEntryBeginningWith(PositionsCombo, candidate);
        });
        ::SendMessageW(PositionsCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    ::WritePrivateProfileStringW(Section, name.c_str(), text.c_str(), PositionsFilePath().c_str());
}

void CMainDlg::DeletePosition(int index) {
    if (index < 0) return;
    const LRESULT length = ::SendMessageW(PositionsCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) return;
    std::wstring name(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(PositionsCombo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(name.data()));
    name.resize(static_cast<size_t>(length));
    ::SendMessageW(PositionsCombo, CB_DELETESTRING, static_cast<WPARAM>(index), 0);
    ::WritePrivateProfileStringW(Section, name.c_str(), nullptr, PositionsFilePath().c_str());
}
