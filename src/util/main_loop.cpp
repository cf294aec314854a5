#include "util/main_loop.h"

#include "util/standalone_function.h"

#include <atomic>
#include <typeinfo>

namespace Lift::Util {

namespace {
std::atomic<MainLoop*> g_current{nullptr};

void showEscapedException(std::exception_ptr error) {
    // Mirrors the toolkit's default: show the message and let the loop go on.
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        YVclUtil::ShowErrMsgBox_Printf("Error", "%s", e.what());
    } catch (...) {
        YVclUtil::ShowErrMsgBox_Printf("Error", "%s", "Unknown exception");
    }
}
} // namespace

MainLoop::MainLoop() {
    MainLoop* none = nullptr;
    g_current.compare_exchange_strong(none, this);
}

MainLoop::~MainLoop() {
    MainLoop* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

MainLoop::ExceptionHandler MainLoop::setExceptionHandler(ExceptionHandler handler) {
    ExceptionHandler previous = std::move(m_exceptionHandler);
    m_exceptionHandler = std::move(handler);
    return previous;
}

MainLoop* MainLoop::current() {
    return g_current.load();
}

void MainLoop::setCurrent(MainLoop* loop) {
    g_current.store(loop);
}

void MainLoop::reportUnhandledException(std::exception_ptr error) {
    if (!error)
        return;
    if (m_exceptionHandler) {
        try {
            m_exceptionHandler(error);
            return;
        } catch (...) {
            // A handler that throws must not take the loop down; fall back to the box.
        }
    }
    showEscapedException(error);
}

} // namespace Lift::Util
