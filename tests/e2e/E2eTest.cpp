// e2e_driver.exe --list            the names of all end-to-end tests, one a line
// e2e_driver.exe NAME PROGRAM      runs one test against the program at PROGRAM
//                                  (a Windows path, e.g. C:\Orvan\WOrvan.exe)
#include "E2eTest.h"

#include "Driver.h"

#include <cstdio>
#include <map>
#include <vector>

namespace e2e {

namespace {

std::map<std::string, TestFunction>& Tests() {
    static std::map<std::string, TestFunction> tests;
    return tests;
}

std::vector<std::string> g_caseLabels;
int g_checks = 0;
int g_failures = 0;

}  // namespace

TestRegistration::TestRegistration(const char* name, TestFunction run) { Tests()[name] = run; }

CaseLabel::CaseLabel(std::string label) { g_caseLabels.push_back(std::move(label)); }
CaseLabel::~CaseLabel() { g_caseLabels.pop_back(); }

std::string Describe(int value) { return std::to_string(value); }
std::string Describe(long value) { return std::to_string(value); }
std::string Describe(unsigned value) { return std::to_string(value); }
std::string Describe(unsigned long value) {
    char hex[32];
    std::snprintf(hex, sizeof hex, "0x%08lX", value);
    return std::to_string(value) + " (" + hex + ")";
}
std::string Describe(bool value) { return value ? "true" : "false"; }
std::string Describe(const std::string& value) {
    std::string shown = "\"";
    for (char c : value) {
        if (c == '\n') shown += "\\n";
        else if (c == '\r') shown += "\\r";
        else if (c == '\t') shown += "\\t";
        else shown += c;
    }
    return shown + "\"";
}
std::string Describe(const std::wstring& value) { return Describe(Narrow(value)); }
std::string Describe(const wchar_t* value) { return Describe(std::wstring(value)); }
std::string Describe(const char* value) { return Describe(std::string(value)); }

bool ReportCheck(bool passed, const std::string& what, const char* file, int line) {
    ++g_checks;
    if (passed) return true;
    ++g_failures;
    std::printf("%s:%d: failed: %s\n", file, line, what.c_str());
    for (const std::string& label : g_caseLabels) std::printf("      in case: %s\n", label.c_str());
    std::fflush(stdout);
    return false;
}

}  // namespace e2e

int wmain(int argc, wchar_t** argv) {
    using namespace e2e;
    if (argc == 2 && std::wstring(argv[1]) == L"--list") {
        for (const auto& test : Tests()) std::printf("%s\n", test.first.c_str());
        return 0;
    }
    if (argc != 3) {
        std::printf("usage: e2e_driver --list\n       e2e_driver NAME PROGRAM\n");
        return 2;
    }
    std::string name = Narrow(argv[1]);
    auto test = Tests().find(name);
    if (test == Tests().end()) {
        std::printf("no end-to-end test named %s (see --list)\n", name.c_str());
        return 2;
    }
    SetProgramPath(argv[2]);

    std::printf("[ RUN    ] %s\n", name.c_str());
    std::fflush(stdout);
    test->second();
    if (g_checks == 0) {
        std::printf("the test made no check\n");
        ++g_failures;
    }
    std::printf("[ %s ] %s: %d checks, %d failed\n", g_failures ? "FAILED" : "    OK", name.c_str(), g_checks,
                g_failures);
    return g_failures ? 1 : 0;
}
