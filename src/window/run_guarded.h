#pragma once
// RunGuarded: the window's handlers run their work through this, so an exception that escapes
// the core (an INI file that cannot be made, a pool that is exhausted) is shown in an error
// box and the window goes on, instead of unwinding through Qt's event dispatch.
#include "util/standalone_function.h"

#include <exception>

namespace Lift::Window {

template <class Work> void RunGuarded(Work&& work) noexcept {
    try {
        work();
    } catch (const std::exception& e) {
        YVclUtil::ShowErrMsgBox_Printf("Error", "%s", e.what());
    } catch (...) {
        YVclUtil::ShowErrMsgBox_Printf("Error", "Unexpected error");
    }
}

} // namespace Lift::Window
