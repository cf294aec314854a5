// The one QApplication of the window tests, made before the first test and kept to the end
// (Qt allows one per process, and widgets need it alive).

#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_window";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

// Registered before main runs; gtest owns the environment.
const auto* const g_environment =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment); // NOLINT(cert-err58-cpp)

} // namespace
