// The application module: the instance that resources come from, the main
// thread, the message loop of each thread, and the window classes the program
// registered (unregistered when the module ends).
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class CMessageLoop;

class CAppModule {
public:
    CAppModule();
    ~CAppModule();

    void Init(HINSTANCE instance);
    void Term();

    HINSTANCE GetModuleInstance() const { return instance_; }
    HINSTANCE GetResourceInstance() const { return instance_; }
    DWORD MainThreadId() const { return mainThreadId_; }

    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

    // A string of the string table; empty when it is missing.
    std::wstring LoadResourceString(UINT id) const;

    // Registers a window class once; it is unregistered when the module ends.
    ATOM RegisterWindowClass(const WNDCLASSEXW& wc);

private:
    void UnregisterClasses();

    HINSTANCE instance_;
    DWORD mainThreadId_ = 0;
    std::map<DWORD, CMessageLoop*> loops_;
    std::vector<std::wstring> classes_;
};

// The one module of the process.
extern CAppModule AppModule;
