#include "AppModule.h"

CAppModule::CAppModule() : instance_(::GetModuleHandleW(nullptr)) {}

CAppModule::~CAppModule() { UnregisterClasses(); }

void CAppModule::Init(HINSTANCE instance) {
    if (instance != nullptr) instance_ = instance;
    mainThreadId_ = ::GetCurrentThreadId();
    loops_.clear();
}

void CAppModule::Term() {
    loops_.clear();
    UnregisterClasses();
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop) {
    return loops_.emplace(::GetCurrentThreadId(), loop).second;
}

bool CAppModule::RemoveMessageLoop() { return loops_.erase(::GetCurrentThreadId()) != 0; }

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const {
    const auto it = loops_.find(threadId);
    return it == loops_.end() ? nullptr : it->second;
}

std::wstring CAppModule::LoadResourceString(UINT id) const {
    // With a zero buffer size LoadStringW hands out a pointer to the text
    // itself, which is not terminated.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(instance_, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text != nullptr ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

ATOM CAppModule::RegisterWindowClass(const WNDCLASSEXW& wc) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing)) return 1;
    const ATOM atom = ::RegisterClassExW(&wc);
    if (atom != 0) classes_.emplace_back(wc.lpszClassName);
    return atom;
}

void CAppModule::UnregisterClasses() {
    for (const std::wstring& name : classes_) ::UnregisterClassW(name.c_str(), instance_);
    classes_.clear();
}
