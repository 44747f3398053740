// The message loop of a thread, with message filters and idle handlers.
#pragma once

#include <windows.h>

#include <vector>

class CMessageFilter {
public:
    // True when the message is consumed and must not be dispatched again.
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
public:
    // Called once per idle period; the result asks for more idle calls.
    virtual BOOL OnIdle(int idleCount) = 0;

protected:
    ~CIdleHandler() = default;
};

class CMessageLoop {
public:
    virtual ~CMessageLoop() = default;

    void AddMessageFilter(CMessageFilter* filter);
    void RemoveMessageFilter(CMessageFilter* filter);
    void AddIdleHandler(CIdleHandler* handler);
    void RemoveIdleHandler(CIdleHandler* handler);

    // Pumps messages until WM_QUIT; returns its parameter.
    int Run();

    // Offers a message to the filters, last registered first.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Runs every idle handler once, in the order of registration; false = stop idling.
    virtual BOOL OnIdle(int idleCount);

    // Messages that arrive on their own all the time and must not start a new idle period.
    static bool IsIdleMessage(const MSG& msg);

private:
    std::vector<CMessageFilter*> filters_;
    std::vector<CIdleHandler*> idleHandlers_;
};
