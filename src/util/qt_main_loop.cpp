#include "util/qt_main_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <QTimer>

#include <stdexcept>

namespace Lift::Util {

class QtMainLoop::Timer final : public LoopTimer {
public:
    Timer(QtMainLoop* loop, TimerKind kind, std::function<void()> onTimeout) : m_timer(new QTimer) {
        m_timer->setSingleShot(kind == TimerKind::SingleShot);
        m_timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(m_timer, &QTimer::timeout, m_timer,
                         [loop, callback = std::move(onTimeout)] {
                             try {
                                 callback();
                             } catch (...) {
                                 loop->report(std::current_exception());
                             }
                         });
    }
    ~Timer() override {
        // The timer may be destroyed from its own callback, while Qt is still emitting: cut
        // the connection now and let Qt delete the object once the emission is over.
        m_timer->stop();
        QObject::disconnect(m_timer, nullptr, nullptr, nullptr);
        m_timer->deleteLater();
    }
    void start(int periodMs) override {
        m_period = periodMs < 0 ? 0 : periodMs;
        m_timer->start(m_period);
    }
    void start() override { m_timer->start(m_period); }
    void stop() override { m_timer->stop(); }
    bool isActive() const override { return m_timer->isActive(); }
    int periodMs() const override { return m_period; }

private:
    QTimer* m_timer;
    int m_period = 0;
};

QtMainLoop::QtMainLoop() : m_context(std::make_unique<QObject>()) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app)
        throw std::logic_error("QtMainLoop needs a QCoreApplication");
    if (m_context->thread() != app->thread())
        m_context->moveToThread(app->thread());
}

QtMainLoop::~QtMainLoop() = default;

void QtMainLoop::post(std::function<void()> fn) {
    if (!fn)
        return;
    QMetaObject::invokeMethod(
        m_context.get(),
        [this, fn = std::move(fn)] {
            try {
                fn();
            } catch (...) {
                reportUnhandledException(std::current_exception());
            }
        },
        Qt::QueuedConnection);
}

void QtMainLoop::invokeSync(const std::function<void()>& fn) {
    if (!fn)
        return;
    if (isLoopThread()) {
        fn();
        return;
    }
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        m_context.get(),
        [&] {
            try {
                fn();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
}

std::unique_ptr<LoopTimer> QtMainLoop::createTimer(TimerKind kind,
                                                   std::function<void()> onTimeout) {
    return std::make_unique<Timer>(this, kind, std::move(onTimeout));
}

int QtMainLoop::run() {
    if (m_quitPending.exchange(false))
        return m_exitCode.load();
    const int code = QCoreApplication::exec();
    m_quitPending.store(false);
    return code;
}

void QtMainLoop::quit(int exitCode) {
    m_exitCode.store(exitCode);
    m_quitPending.store(true);
    // exit() acts on the event loops of the calling thread's application; from elsewhere it
    // travels as a queued call.
    // A quit that run() has already taken (it was asked before run started) must not end a
    // later run.
    if (isLoopThread())
        QCoreApplication::exit(exitCode);
    else
        QMetaObject::invokeMethod(
            m_context.get(),
            [this] {
                if (m_quitPending.load())
                    QCoreApplication::exit(m_exitCode.load());
            },
            Qt::QueuedConnection);
}

bool QtMainLoop::waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    std::unique_ptr<QTimer> limit;
    bool expired = false;
    if (timeout.count() >= 0) {
        // A timer event ends the wait for events when nothing else happens.
        limit = std::make_unique<QTimer>();
        limit->setSingleShot(true);
        limit->setTimerType(Qt::PreciseTimer);
        QObject::connect(limit.get(), &QTimer::timeout, [&expired] { expired = true; });
        limit->start(static_cast<int>(timeout.count()));
    }
    while (!done()) {
        if (expired)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents |
                                        QEventLoop::ExcludeUserInputEvents);
    }
    return true;
}

void QtMainLoop::wake() {
    // Qt owns the queued call object and frees it once delivered; the analyzer cannot see it.
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks)
    QMetaObject::invokeMethod(
        m_context.get(), [] {}, Qt::QueuedConnection);
}

bool QtMainLoop::isLoopThread() const {
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace Lift::Util
