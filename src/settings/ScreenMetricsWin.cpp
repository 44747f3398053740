// MaxCellSize: the board's eight rows, the dialog frame and the caption must
// fit into the height of the desktop work area.
#include <windows.h>

#include "settings/Settings.h"

int32_t MaxCellSize() {
    RECT workArea = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    return MaxCellSizeFor(workArea.bottom - workArea.top, GetSystemMetrics(SM_CYDLGFRAME),
                          GetSystemMetrics(SM_CYCAPTION));
}
