#include "SearchTick.h"

namespace {

class IdleSearchHost final : public SearchHost {
public:
    CancelInput PollCancelInput() override { return CancelInput::None; }
    void ShowWaitCursor() override {}
    void RefreshCursor() override {}
    uint32_t TickCount() override { return 1; }
};

}  // namespace

SearchHost& SearchHostOf(SearchHost* boardWindow) {
    static IdleSearchHost idle;
    return boardWindow != nullptr ? *boardWindow : idle;
}
