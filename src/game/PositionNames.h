// The naming rules of stored positions.
#pragma once

#include <functional>
#include <string>

// Names are stored and listed with their capital letters A to Z folded to
// lower case; nothing else changes.
std::wstring FoldCapitals(std::wstring name);

// True when entry begins with prefix, capitals A to Z matching their small
// letters (the name list's own prefix search).
bool BeginsWithIgnoringCase(const std::wstring& entry, const std::wstring& prefix);

// The generated name for number n: pattern with "%d" replaced by n.
std::wstring CaseName(const std::wstring& pattern, int n);

// The first generated name, for n = 1, 2, ..., with which no entry of the
// list begins.
std::wstring FirstFreeCaseName(const std::wstring& pattern,
                               const std::function<bool(const std::wstring&)>& someEntryBeginsWith);
