#include "history/ScriptHistory.h"

namespace quendral {

// In a file of its own, so that a test can stand in for the clock at link
// time.
HistoryTime historyClock()
{
    return std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now());
}

} // namespace quendral
