#include "util/qt_main_loop.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Lift::Util::QtMainLoop;

namespace {

constexpr auto kLong = 20s;

// One application for the whole program: Qt allows no second one.
QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "test_util";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                                : new QCoreApplication(argc, argv);
    return *app;
}

class QtLoop : public ::testing::Test {
protected:
    QtLoop() { application(); }
};

} // namespace

TEST_F(QtLoop, PostedCallsAndHandOversShareOneOrderAndExceptionsReachTheWorker) {
    QtMainLoop loop;
    std::vector<std::string> log;
    std::string caught;
    std::atomic<bool> done{false};
    loop.post([&] { log.push_back("posted 1"); });
    std::thread worker([&] {
        loop.post([&] { log.push_back("posted 2"); });
        loop.invokeSync([&] { log.push_back("sync"); });
        try {
            loop.invokeSync([] { throw std::runtime_error("refused"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        loop.post([&] { log.push_back("posted 3"); });
        done = true;
        loop.wake();
    });
    ASSERT_TRUE(loop.waitUntil([&] { return done.load() && log.size() == 4; }, kLong));
    worker.join();
    EXPECT_EQ(log, (std::vector<std::string>{"posted 1", "posted 2", "sync", "posted 3"}));
    EXPECT_EQ(caught, "refused");
}

