#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/AppModule.h"
#include "framework/MessageLoop.h"

namespace {

std::vector<std::string> events;

std::string Name(UINT message) {
    switch (message) {
    case WM_APP + 1: return "app1";
    case WM_APP + 2: return "app2";
    case WM_APP + 3: return "app3";
    case WM_MOUSEMOVE: return "mousemove";
    default: return std::to_string(message);
    }
}

struct RecordingFilter : CMessageFilter {
    std::string name;
    UINT consumes = 0;  // the message this filter keeps for itself
    explicit RecordingFilter(std::string n, UINT c = 0) : name(std::move(n)), consumes(c) {}
    BOOL PreTranslateMessage(MSG* msg) override {
        events.push_back(name + ":" + Name(msg->message));
        if (consumes != 0 && msg->message == consumes) {
            ::PostQuitMessage(7);
            return TRUE;
        }
        return FALSE;
    }
};

struct ScriptedIdleHandler : CIdleHandler {
    std::string name;
    int calls = 0;
    bool posts = false;
    explicit ScriptedIdleHandler(std::string n, bool p = false) : name(std::move(n)), posts(p) {}
    BOOL OnIdle(int idleCount) override {
        events.push_back("idle:" + name + ":" + std::to_string(idleCount));
        ++calls;
        if (posts && calls == 1) {
            ::PostThreadMessageW(::GetCurrentThreadId(), WM_MOUSEMOVE, 0, 0);
            ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 2, 0, 0);
        }
        if (posts && calls == 2) ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 3, 0, 0);
        return TRUE;  // asks for more: the loop still runs each handler once per idle period
    }
};

TEST(MessageLoop, FiltersLastRegisteredFirstAndIdleHandlersOncePerIdlePeriod) {
    events.clear();
    CMessageLoop loop;
    RecordingFilter first("f1");
    RecordingFilter second("f2", WM_APP + 3);
    ScriptedIdleHandler h1("h1");
    ScriptedIdleHandler h2("h2", true);
    loop.AddMessageFilter(&first);
    loop.AddMessageFilter(&second);
    loop.AddIdleHandler(&h1);
    loop.AddIdleHandler(&h2);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 1, 0, 0);

    EXPECT_EQ(loop.Run(), 7);
    const std::vector<std::string> expected = {
        "f2:app1", "f1:app1", "idle:h1:0", "idle:h2:0",
        // a mouse move does not start a new idle period, the next message does
        "f2:mousemove", "f1:mousemove", "f2:app2", "f1:app2", "idle:h1:0", "idle:h2:0",
        // the second filter consumes app3 (and asks to quit): the first never
        // sees it, and the pending quit leaves no idle period
        "f2:app3"};
    EXPECT_EQ(events, expected);
}

TEST(MessageLoop, RemovedFiltersAndHandlersAreNoLongerCalled) {
    events.clear();
    CMessageLoop loop;
    RecordingFilter gone("gone");
    RecordingFilter quitter("quit", WM_APP + 1);
    ScriptedIdleHandler idle("gone");
    loop.AddMessageFilter(&quitter);
    loop.AddMessageFilter(&gone);
    loop.AddIdleHandler(&idle);
    loop.RemoveMessageFilter(&gone);
    loop.RemoveIdleHandler(&idle);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 1, 0, 0);
    EXPECT_EQ(loop.Run(), 7);
    EXPECT_EQ(events, std::vector<std::string>{"quit:app1"});
}

TEST(AppModule, FindsTheMessageLoopOfTheThreadWhileItIsRegistered) {
    CMessageLoop loop;
    AppModule.Init(nullptr);
    EXPECT_EQ(AppModule.GetMessageLoop(), nullptr);
    EXPECT_TRUE(AppModule.AddMessageLoop(&loop));
    EXPECT_EQ(AppModule.GetMessageLoop(), &loop);
    EXPECT_EQ(AppModule.GetMessageLoop(::GetCurrentThreadId() + 1), nullptr);
    EXPECT_TRUE(AppModule.RemoveMessageLoop());
    EXPECT_EQ(AppModule.GetMessageLoop(), nullptr);
}

}  // namespace
