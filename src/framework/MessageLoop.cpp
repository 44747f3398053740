#include "MessageLoop.h"

#include <algorithm>

namespace {

template <typename T>
void RemoveFrom(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

constexpr UINT WmSysTimer = 0x0118;  // the caret blink

}  // namespace

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) { filters_.push_back(filter); }
void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { RemoveFrom(filters_, filter); }
void CMessageLoop::AddIdleHandler(CIdleHandler* handler) { idleHandlers_.push_back(handler); }
void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { RemoveFrom(idleHandlers_, handler); }

bool CMessageLoop::IsIdleMessage(const MSG& msg) {
    return msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE || msg.message == WM_PAINT ||
           msg.message == WmSysTimer;
}

BOOL CMessageLoop::PreTranslateMessage(MSG* msg) {
    // A copy: a filter may unregister itself while it runs.
    const std::vector<CMessageFilter*> filters = filters_;
    for (auto it = filters.rbegin(); it != filters.rend(); ++it) {
        if ((*it)->PreTranslateMessage(msg)) return TRUE;
    }
    return FALSE;
}

BOOL CMessageLoop::OnIdle(int idleCount) {
    const std::vector<CIdleHandler*> handlers = idleHandlers_;
    for (CIdleHandler* handler : handlers) handler->OnIdle(idleCount);
    return FALSE;  // each idle period runs the handlers once
}

int CMessageLoop::Run() {
    bool doIdle = true;
    int idleCount = 0;
    MSG msg{};
    for (;;) {
        while (doIdle && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) doIdle = false;
        }
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1) continue;  // an error: ignored
        if (got == 0) break;      // WM_QUIT
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (!IsIdleMessage(msg)) {
            doIdle = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(msg.wParam);
}
