#include "CursorFileCheck.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Flags of the animated cursor header.
constexpr uint32_t FramesAreIcons = 1;
constexpr uint32_t HasSequence = 2;

// The largest side of a cursor the header may ask the frames to be drawn at.
constexpr uint32_t LargestCursorSide = 256;

// The largest side of a picture in a cursor file that is read at all.
constexpr int64_t MaxPictureSide = 4096;

uint32_t Read32(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint32_t Read16(const unsigned char* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }

bool IsId(const unsigned char* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

struct Chunk {
    size_t At;      // offset of its identifier
    uint32_t Size;  // of its data, as stated
};

// The chunks that tile [begin, end) of the file: each one's header and data
// inside the range, each one after the pad byte of an odd-sized one before
// it (a missing pad byte is allowed at the very end), and every list long
// enough for its type. False when the range is not tiled so.
bool ReadChunks(const unsigned char* bytes, size_t begin, size_t end, std::vector<Chunk>& chunks) {
    size_t at = begin;
    while (at < end) {
        if (end - at < 8) return false;
        const uint32_t size = Read32(bytes + at + 4);
        if (size > end - at - 8) return false;
        if ((IsId(bytes + at, "LIST") || IsId(bytes + at, "RIFF")) && size < 4) return false;
        chunks.push_back(Chunk{at, size});
        at += 8 + size_t(size) + (size & 1u);
    }
    return true;
}

// The first chunk with the identifier (and, for a list, the type), as the
// loader looks for it; nullptr when there is none.
const Chunk* Find(const unsigned char* bytes, const std::vector<Chunk>& chunks, const char* id,
                  const char* listType = nullptr) {
    for (const Chunk& chunk : chunks)
        if (IsId(bytes + chunk.At, id) && (!listType || IsId(bytes + chunk.At + 8, listType))) return &chunk;
    return nullptr;
}

// A picture of a cursor or icon directory: a PNG file (which the loader
// decodes with the system's picture decoder), or a device-independent bitmap
// of a sensible size whose colours and masks fit into the size given.
bool IsCursorPicture(const unsigned char* p, size_t size) {
    static const unsigned char PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 8 && std::memcmp(p, PngSignature, 8) == 0) return true;
    if (size < 12) return false;
    const uint32_t headerSize = Read32(p);
    int64_t width = 0, height = 0;
    uint32_t planes = 0, bitsPerPixel = 0, compression = 0, coloursUsed = 0;
    size_t colourSize = 4;
    if (headerSize == 12) {  // the old core header
        width = Read16(p + 4);
        height = Read16(p + 6);
        planes = Read16(p + 8);
        bitsPerPixel = Read16(p + 10);
        colourSize = 3;
    } else if (headerSize >= 40 && headerSize <= size) {
        width = int32_t(Read32(p + 4));
        height = int32_t(Read32(p + 8));
        planes = Read16(p + 12);
        bitsPerPixel = Read16(p + 14);
        compression = Read32(p + 16);
        coloursUsed = Read32(p + 32);
    } else {
        return false;
    }
    if (height < 0) height = -height;
    // The height counts the picture and its mask.
    if (width < 1 || width > MaxPictureSide || height < 2 || height > 2 * MaxPictureSide || planes != 1) return false;
    if (compression != 0) return false;
    size_t colours = 0;
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
        colours = size_t(1) << bitsPerPixel;
        if (coloursUsed != 0 && coloursUsed < colours) colours = coloursUsed;
        break;
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    const size_t rows = size_t(height / 2);
    const size_t pictureRow = (size_t(width) * bitsPerPixel + 31) / 32 * 4;
    const size_t maskRow = (size_t(width) + 31) / 32 * 4;
    return headerSize + colours * colourSize + rows * (pictureRow + maskRow) <= size;
}

// A cursor or icon directory of at least one picture, each picture inside
// the size given and sound.
bool IsIconDirectory(const unsigned char* p, size_t size) {
    if (size < 6) return false;
    const uint32_t type = Read16(p + 2), count = Read16(p + 4);
    if (Read16(p) != 0 || (type != 1 && type != 2) || count == 0) return false;
    const size_t directorySize = 6 + 16 * size_t(count);
    if (size < directorySize) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const unsigned char* entry = p + 6 + 16 * size_t(i);
        const uint32_t pictureSize = Read32(entry + 8), pictureAt = Read32(entry + 12);
        if (pictureAt < directorySize || pictureAt > size || pictureSize > size - pictureAt) return false;
        if (!IsCursorPicture(p + pictureAt, pictureSize)) return false;
    }
    return true;
}

bool IsSoundAnimatedCursor(const unsigned char* bytes, size_t size) {
    if (size < 12 || !IsId(bytes + 8, "ACON")) return false;
    const uint32_t riffSize = Read32(bytes + 4);
    if (riffSize < 4 || riffSize > size - 8) return false;
    std::vector<Chunk> chunks;
    if (!ReadChunks(bytes, 12, 8 + size_t(riffSize), chunks)) return false;

    const Chunk* header = Find(bytes, chunks, "anih");
    if (!header || header->Size < 36) return false;
    const unsigned char* h = bytes + header->At + 8;
    const uint32_t frames = Read32(h + 4), width = Read32(h + 12), height = Read32(h + 16), flags = Read32(h + 32);
    uint32_t steps = Read32(h + 8);
    if (!(flags & FramesAreIcons)) return true;  // raw frames: the loader declines them without reading on
    if (frames == 0 || width > LargestCursorSide || height > LargestCursorSide) return false;

    const Chunk* sequence = (flags & HasSequence) ? Find(bytes, chunks, "seq ") : nullptr;
    if ((flags & HasSequence) && !sequence) steps = frames;  // the loader's reading of a missing sequence
    if (steps == 0) return false;
    if (sequence) {
        if (sequence->Size / 4 < steps) return false;
        for (uint32_t i = 0; i < steps; ++i)
            if (Read32(bytes + sequence->At + 8 + 4 * size_t(i)) >= frames) return false;
    } else if (steps > frames) {
        return false;
    }
    if (const Chunk* rates = Find(bytes, chunks, "rate"))
        if (rates->Size / 4 < steps) return false;

    // The frames: the first ones of the list, in order, whatever else it holds.
    const Chunk* list = Find(bytes, chunks, "LIST", "fram");
    if (!list) return false;
    std::vector<Chunk> icons;
    if (!ReadChunks(bytes, list->At + 12, list->At + 8 + size_t(list->Size), icons) || icons.size() < frames)
        return false;
    for (uint32_t i = 0; i < frames; ++i) {
        const Chunk& icon = icons[i];
        // The loader steps from frame to frame without pad bytes.
        if (!IsId(bytes + icon.At, "icon") || (icon.Size & 1u) != 0) return false;
        if (!IsIconDirectory(bytes + icon.At + 8, icon.Size)) return false;
    }
    return true;
}

}  // namespace

bool IsCursorFileSafeToLoad(const unsigned char* bytes, size_t size) {
    if (size >= 4 && IsId(bytes, "RIFF")) return IsSoundAnimatedCursor(bytes, size);
    return IsIconDirectory(bytes, size);
}

bool BeginsLikeCursorFile(const unsigned char* bytes, size_t size) {
    if (size < 4) return false;
    const uint32_t type = Read16(bytes + 2);
    return IsId(bytes, "RIFF") || (Read16(bytes) == 0 && (type == 1 || type == 2));
}
