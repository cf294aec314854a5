#include "lift_lcd/link_console_ui.h"

#include "util/standalone_function.h"

#include <ostream>

namespace Lift::Cli {

LinkConsoleUi::LinkConsoleUi(Streams& io, std::optional<std::string> openAnswer, bool progress)
    : m_io(io), m_openAnswer(std::move(openAnswer)), m_progress(progress) {}

void LinkConsoleUi::messageBox(const std::string& text, const std::string& caption) {
    eraseProgress();
    // The box texts end in blank lines for the window; one line is enough here.
    std::string t = text;
    while (!t.empty() && (t.back() == '\n' || t.back() == ' '))
        t.pop_back();
    m_io.err << caption << ": " << t << std::endl;
}

void LinkConsoleUi::appendLog(const std::string& line) {
    eraseProgress();
    m_io.out << line << std::endl;
}

void LinkConsoleUi::eraseProgress() {
    if (m_progressShown) {
        m_io.err << "\r\033[K" << std::flush;
        m_progressShown = false;
    }
}

void LinkConsoleUi::showProgress(const Link::ControllerLink& link) {
    if (!m_progress)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (link.blockNo() == 0)
        m_firstBlockAt.reset();
    else if (!m_firstBlockAt)
        m_firstBlockAt = now;
    const bool running = link.linkMode() != Link::LinkMode::Idle;
    if (running && m_progressShown && now - m_lastDraw < std::chrono::milliseconds(100))
        return;
    m_lastDraw = now;

    const Link::LinkStatistics& s = link.statistics();
    std::string line;
    if (link.linkMode() == Link::LinkMode::DateTimeSync) {
        line = YVclUtil::Format("date-time: %d frame(s), NAK %d, time-outs %d",
                                s.framesSent + s.framesResent, s.naksReceived, s.timeoutTicks);
    } else {
        const int total = link.blockCount() > 0 ? link.blockCount() : 1;
        const int done = link.blockNo();
        constexpr int kWidth = 30;
        const int filled = done * kWidth / total;
        double rate = 0;
        if (m_firstBlockAt) {
            const double seconds = std::chrono::duration<double>(now - *m_firstBlockAt).count();
            if (seconds > 0)
                rate = done * 64.0 / 1024.0 / seconds;
        }
        line = "[" + std::string(static_cast<std::size_t>(filled), '#') +
               std::string(static_cast<std::size_t>(kWidth - filled), '.') + "] " +
               YVclUtil::Format("%d/%d blocks, NAK %d, time-outs %d, %.1f KiB/s", done, total,
                                s.naksReceived, s.timeoutTicks, rate);
    }
    m_io.err << "\r\033[K" << line << std::flush;
    m_progressShown = true;
}

void LinkConsoleUi::endProgress() {
    if (m_progressShown) {
        m_io.err << "\n" << std::flush;
        m_progressShown = false;
    }
}

} // namespace Lift::Cli
