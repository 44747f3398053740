// A small registry of named end-to-end tests and the checks they make.
//
//   E2E_TEST(exit_button_ends_the_game) { ... CHECK_EQ(code, 2ul); ... }
//
// Write E2E_TEST(name) at the start of a line: CMake reads the test names from
// those lines to register one ctest test per name, and e2e_driver.exe --list
// prints the same names from the registry.
//
// A failed check prints file:line, the expression and the values, counts the
// failure and lets the test go on; REQUIRE stops the test. The driver's exit
// code is 0 only when the test made at least one check and all of them passed.
#pragma once

#include <windows.h>

#include <string>
#include <type_traits>

namespace e2e {

using TestFunction = void (*)();

struct TestRegistration {
    TestRegistration(const char* name, TestFunction run);
};

// Names the case of a table that the checks below it belong to, for as long
// as it lives; failures print it.
class CaseLabel {
public:
    explicit CaseLabel(std::string label);
    ~CaseLabel();
    CaseLabel(const CaseLabel&) = delete;
    CaseLabel& operator=(const CaseLabel&) = delete;
};

std::string Describe(int value);
std::string Describe(long value);
std::string Describe(unsigned long value);  // also DWORD and COLORREF: shown in hex too
std::string Describe(unsigned value);
std::string Describe(bool value);
std::string Describe(const std::wstring& value);
std::string Describe(const std::string& value);
std::string Describe(const wchar_t* value);
std::string Describe(const char* value);

bool ReportCheck(bool passed, const std::string& what, const char* file, int line);

template <typename Actual, typename Expected>
bool CheckEqual(const Actual& actual, const Expected& expected, const char* actualText, const char* expectedText,
                const char* file, int line) {
    bool passed = actual == expected;
    return ReportCheck(passed,
                       std::string("CHECK_EQ(") + actualText + ", " + expectedText + ")\n      actual:   " +
                           Describe(actual) + "\n      expected: " + Describe(expected),
                       file, line);
}

}  // namespace e2e

#define E2E_TEST(name)                                                          \
    static void e2e_test_##name();                                              \
    static ::e2e::TestRegistration e2e_registration_##name(#name, e2e_test_##name); \
    static void e2e_test_##name()

#define CHECK(condition) ::e2e::ReportCheck(!!(condition), "CHECK(" #condition ")", __FILE__, __LINE__)
#define CHECK_EQ(actual, expected) ::e2e::CheckEqual((actual), (expected), #actual, #expected, __FILE__, __LINE__)
#define REQUIRE(condition)                  \
    do {                                    \
        if (!CHECK(condition)) return;      \
    } while (0)

// A benchmark: registered with the driver like a test (run it by name), but
// not a ctest test, since it prints figures rather than checking timings.
#define E2E_BENCH(name) E2E_TEST(name)
