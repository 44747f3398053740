// The look at a cursor file before the system's cursor loader gets it:
// sound static and animated cursors pass, each kind of damage that made a
// loader end the process does not. Every file passing the look is also given
// to the loader here, which must load it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "view/CursorFileCheck.h"

namespace {

void Put16(std::string& out, uint32_t value) {
    out += char(value & 0xFF);
    out += char((value >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// A static cursor file of one 32 x 32 picture with 1 bit per pixel; the
// width and height its header states can be given (the height counts the
// picture and its mask).
std::string CursorFile(uint32_t width = 32, uint32_t height = 64, uint32_t bitsPerPixel = 1) {
    std::string picture;
    for (uint32_t value : {40u, width, height}) Put32(picture, value);
    Put16(picture, 1);
    Put16(picture, bitsPerPixel);
    for (int i = 0; i < 6; ++i) Put32(picture, 0);
    Put32(picture, 0x000000);
    Put32(picture, 0xFFFFFF);
    picture += std::string(128, '\x0F') + std::string(128, '\xF0');
    std::string file;
    Put16(file, 0);
    Put16(file, 2);
    Put16(file, 1);
    file += std::string("\x20\x20\x00\x00", 4);
    Put16(file, 3);
    Put16(file, 4);
    Put32(file, uint32_t(picture.size()));
    Put32(file, 22);
    return file + picture;
}

std::string Chunk(const char* id, const std::string& data) {
    std::string out(id, 4);
    Put32(out, uint32_t(data.size()));
    out += data;
    if (data.size() % 2) out += '\0';
    return out;
}

// An animated cursor of the frames, its header claiming the frames and steps
// given; flags 1: the frames are icons, 2: there is a sequence. A "seq "
// chunk when the sequence is not empty, a "rate" chunk of so many entries
// when rates is not 0.
std::string AnimatedCursorFile(const std::vector<std::string>& frames, uint32_t claimedFrames, uint32_t steps,
                               uint32_t flags = 1, const std::vector<uint32_t>& sequence = {}, uint32_t rates = 0) {
    std::string header;
    for (uint32_t value : {36u, claimedFrames, steps, 0u, 0u, 0u, 0u, 10u, flags}) Put32(header, value);
    std::string body = "ACON" + Chunk("anih", header);
    if (!sequence.empty()) {
        std::string steps;
        for (uint32_t step : sequence) Put32(steps, step);
        body += Chunk("seq ", steps);
    }
    if (rates) body += Chunk("rate", std::string(4 * rates, '\x05'));
    std::string list = "fram";
    for (const std::string& frame : frames) list += Chunk("icon", frame);
    body += Chunk("LIST", list);
    return Chunk("RIFF", body);
}

std::wstring WriteTemporaryFile(const std::string& bytes) {
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"cur", 0, path);
    const HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

struct FileCase {
    const char* Name;
    std::string Bytes;
    bool Safe;  // (or, for the start of a file, worth reading whole)
};

TEST(CursorFileCheck, SoundFilesPassAndDamagedOnesDoNot) {
    const std::string cursor = CursorFile();
    const std::string animated = AnimatedCursorFile({cursor, cursor}, 2, 2);
    std::string cursorClaimingMore = cursor;
    cursorClaimingMore[4] = '\x02';  // two pictures, one entry
    std::string riffClaimingMore = animated;
    riffClaimingMore[4] = char(riffClaimingMore[4] + 8);  // the RIFF body beyond the file
    const FileCase cases[] = {
        {"a static cursor", cursor, true},
        {"an animated cursor", animated, true},
        {"an animated cursor with a sequence and rates", AnimatedCursorFile({cursor, cursor}, 2, 3, 3, {0, 1, 0}, 3),
         true},
        {"no bytes", "", false},
        {"text", "This is not a cursor.\r\n", false},
        {"a picture 0 pixels wide", CursorFile(0, 64), false},
        {"a picture 1 pixel high with its mask", CursorFile(32, 1), false},
        {"a picture of 3 bits per pixel", CursorFile(32, 64, 3), false},
        {"a picture larger than its bytes", CursorFile(32, 64, 32), false},
        {"a directory of more pictures than entries", cursorClaimingMore, false},
        {"a static cursor cut short", cursor.substr(0, cursor.size() - 1), false},
        {"only RIFF", "RIFF", false},
        {"a RIFF body beyond the file", riffClaimingMore, false},
        {"an animated cursor cut short", animated.substr(0, animated.size() - 100), false},
        {"more frames claimed than listed", AnimatedCursorFile({cursor}, 1000000, 1), false},
        {"no frames claimed", AnimatedCursorFile({cursor}, 0, 0), false},
        {"more steps than frames, no sequence", AnimatedCursorFile({cursor}, 1, 2), false},
        {"a sequence shorter than the steps", AnimatedCursorFile({cursor, cursor}, 2, 3, 3, {0, 1}), false},
        {"a sequence naming a missing frame", AnimatedCursorFile({cursor, cursor}, 2, 2, 3, {0, 2}), false},
        {"rates for fewer steps", AnimatedCursorFile({cursor, cursor}, 2, 2, 1, {}, 1), false},
        {"a frame 0 pixels high", AnimatedCursorFile({cursor, CursorFile(32, 0)}, 2, 2), false},
        {"a frame that is text", AnimatedCursorFile({cursor, "not a cursor"}, 2, 2), false},
    };
    for (const FileCase& file : cases) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(file.Bytes.data());
        EXPECT_EQ(IsCursorFileSafeToLoad(bytes, file.Bytes.size()), file.Safe) << file.Name;
        if (file.Safe) {
            const std::wstring path = WriteTemporaryFile(file.Bytes);
            const HCURSOR loaded = LoadCursorFromFileW(path.c_str());
            EXPECT_NE(loaded, nullptr) << file.Name;
            if (loaded) DestroyCursor(loaded);
            DeleteFileW(path.c_str());
        }
    }
}

TEST(CursorFileCheck, OnlyFilesBeginningLikeCursorsAreReadWhole) {
    const FileCase cases[] = {
        {"an animated cursor", "RIFF", true},
        {"a cursor", std::string("\0\0\2\0", 4), true},
        {"an icon", std::string("\0\0\1\0", 4), true},
        {"a PNG", "\x89PNG", false},
        {"a bitmap", "BM6\0", false},
        {"another directory type", std::string("\0\0\3\0", 4), false},
        {"three bytes", std::string("\0\0\2", 3), false},
    };
    for (const FileCase& file : cases)
        EXPECT_EQ(BeginsLikeCursorFile(reinterpret_cast<const unsigned char*>(file.Bytes.data()), file.Bytes.size()),
                  file.Safe)
            << file.Name;
}

}  // namespace
