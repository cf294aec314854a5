#pragma once
// Test doubles for the controller link's outside world: a port that records what was sent,
// a timer that records stops and starts, and clocks that move only when told.

#include "link/link_io.h"

#include <string>
#include <vector>

namespace Lift::Test {

class FakeLinkPort : public Link::LinkPort {
public:
    bool isOpen = false;
    bool openSucceeds = true;
    unsigned number = 1;
    std::vector<Link::LinkFrame> sent;
    std::vector<std::string> calls;

    bool opened() const override { return isOpen; }
    bool open() override {
        calls.push_back("open " + std::to_string(number));
        isOpen = openSucceeds;
        return isOpen;
    }
    std::string lastError() const override { return "The comm device not exist"; }
    void close() override {
        calls.push_back("close");
        isOpen = false;
    }
    unsigned portNumber() const override { return number; }
    // Refuses what the serial component refuses, keeping the old number.
    void setPortNumber(unsigned n) override {
        if (n >= 1 && n <= 16)
            number = n;
        else
            calls.push_back("refused " + std::to_string(n));
    }
    void sendData(std::span<const std::uint8_t> bytes) override {
        Link::LinkFrame f{};
        if (bytes.size() == f.size())
            std::copy(bytes.begin(), bytes.end(), f.begin());
        sent.push_back(f);
    }
};

class FakeLinkTimer : public Link::LinkTimer {
public:
    bool active = false;
    int starts = 0;
    std::vector<std::string> calls;
    void start() override {
        active = true;
        ++starts;
        calls.push_back("start");
    }
    void stop() override {
        active = false;
        calls.push_back("stop");
    }
};

class FakeLinkClock : public Link::LinkClock {
public:
    Link::LocalDateTime local{2010, 4, 29, 4, 13, 45, 30};
    std::chrono::steady_clock::time_point mono{std::chrono::seconds(1000)};
    Link::LocalDateTime localNow() const override { return local; }
    std::chrono::steady_clock::time_point monotonicNow() const override { return mono; }
};

} // namespace Lift::Test
