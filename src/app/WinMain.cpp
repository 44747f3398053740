// The entry point: COM, the common controls, the module, the main dialog and
// its message loop.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "MainDlg.h"
#include "framework/AppModule.h"
#include "framework/MessageLoop.h"

namespace {

int RunMainDialog(LPWSTR /*commandLine*/, int show) {
    CMessageLoop loop;
    AppModule.AddMessageLoop(&loop);
    int result = 0;
    {
        CMainDlg dialog;
        if (dialog.Create(nullptr) != nullptr) {
            ::ShowWindow(dialog.m_hWnd, show);
            result = loop.Run();
        }
        AppModule.RemoveMessageLoop();
    }
    return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show) {
    ::CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    AppModule.Init(instance);
    const int result = RunMainDialog(commandLine, show);
    AppModule.Term();
    ::CoUninitialize();
    return result;
}
