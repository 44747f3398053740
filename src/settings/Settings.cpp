#include "Settings.h"

int32_t MaxCellSizeFor(int32_t workAreaHeight, int32_t dialogFrameHeight, int32_t captionHeight) {
    return (workAreaHeight - 2 * dialogFrameHeight - captionHeight - 7) / 8;
}

int32_t LimitCellSize(int32_t value, int32_t current, int32_t maxCellSize) {
    int32_t size = value != 0 ? value : current;
    if (size < MinCellSize) size = MinCellSize;
    if (size > maxCellSize) size = maxCellSize;
    return size;
}
