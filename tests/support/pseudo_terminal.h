#pragma once
// A pseudo-terminal for serial tests: the component opens the device side (slavePath), the
// test plays the far end on the master side. MasterReader collects what the component sends,
// on its own thread, so the test thread can keep serving the main loop meanwhile.

#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace Lift::Test {

class PseudoTerminal {
public:
    PseudoTerminal(); // throws std::runtime_error when the system has none to give
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int masterFd() const { return m_master; }
    const std::string& slavePath() const { return m_slavePath; }
    // Writes all bytes to the master side (arrive at the component as received data).
    void write(const std::string& bytes) const;
    // Closes the master side, as when a USB adapter is pulled: the device side hangs up.
    void hangUp();

private:
    int m_master = -1;
    std::string m_slavePath;
};

class MasterReader {
public:
    // onData runs on the reader's thread after each chunk (e.g. to wake the main loop).
    MasterReader(const PseudoTerminal& pty, std::function<void()> onData);
    ~MasterReader();
    MasterReader(const MasterReader&) = delete;
    MasterReader& operator=(const MasterReader&) = delete;

    std::string all() const;

private:
    void run();

    int m_fd;
    int m_stop[2] = {-1, -1};
    std::function<void()> m_onData;
    mutable std::mutex m_mutex;
    std::string m_received;
    std::thread m_thread;
};

} // namespace Lift::Test
