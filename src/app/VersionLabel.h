// The version shown in the about box: the product version of a version
// resource and whether it is a release, and the label made from it.
#pragma once

#include <windows.h>

#include <string>

struct ProgramVersion {
    int Major = 0;
    int Minor = 0;
    int Build = 0;
    int Revision = 0;
    bool Release = false;
};

// The product version (not the file version) of a fixed version record; a
// release when the pre-release bit of the file flags is clear, taken as
// stored, without the flags mask.
ProgramVersion ProductVersionOf(const VS_FIXEDFILEINFO& info);

// The product version of the file at path; all zero and not a release when
// the file or its version resource cannot be read.
ProgramVersion ReadProductVersion(const wchar_t* path);

// The product version of the running executable.
ProgramVersion ReadOwnProductVersion();

// "Version 3.0" for a release, "Version ß 3.0.0.1" otherwise.
std::wstring VersionLabel(const ProgramVersion& version);
