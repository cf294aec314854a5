// The window's error boxes when a component raises one on another thread.
#include "window/qt_editor_ui.h"

#include "support/error_box_recorder.h"
#include "support/scripted_ui.h"
#include "window/bundled_window.h"

#include <QCoreApplication>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace Lift::Test {
namespace {

// Notes whether the raising thread had already gone on when the box was shown.
struct ProbeUi : ScriptedUi {
    std::atomic<bool> raiserReturned{false};
    bool returnedBeforeShown = false;
    void messageBox(const std::string& text, const std::string& caption) override {
        returnedBeforeShown = returnedBeforeShown || raiserReturned.load();
        ScriptedUi::messageBox(text, caption);
    }
};

TEST(QtEditorUiErrorBox, AnotherThreadWaitsUntilItsBoxIsShownAndNoneIsLost) {
    EnsureQApplication();
    ErrorBoxRecorder before; // the sink the window's replaces
    ProbeUi probe;
    QWidget window;
    auto ui = std::make_unique<Window::QtEditorUi>(&window);
    ui->setScript(&probe);
    ui->installErrorBoxSink();

    std::thread monitor([&] {
        YVclUtil::ShowErrMsgBox_Printf("TCommEventMonitorThread", "Err: %s", "lost the port");
        probe.raiserReturned = true;
    });
    while (!probe.raiserReturned)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    monitor.join();
    EXPECT_FALSE(probe.returnedBeforeShown);
    YVclUtil::ShowErrMsgBox_Printf("TYIniFile", "Err: here"); // the window's own: at once
    EXPECT_EQ(probe.messages(),
              (std::vector<std::string>{"TCommEventMonitorThread | Err: lost the port",
                                        "TYIniFile | Err: here"}));

    // A thread that took the window's sink before the window went hands its box to the sink
    // from before instead of reaching for the window.
    YVclUtil::ErrorBoxSink windows = YVclUtil::SetErrorBoxSink({});
    YVclUtil::SetErrorBoxSink(windows);
    ui.reset();
    std::thread late([&] { windows("Late", "Err: after the window"); });
    late.join();
    ASSERT_EQ(before.count(), 1u);
    EXPECT_EQ(before.at(0).text, "Err: after the window");
    EXPECT_EQ(probe.messages().size(), 2u);
}

} // namespace
} // namespace Lift::Test
