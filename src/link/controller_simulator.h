#pragma once
// ControllerSimulator: the display controller's side of the link, as pure logic, for tests,
// benchmarks and the simulate-controller command.
//
// It asks with 'C' (repeated every ask interval until the first frame arrives), collects
// 68-byte frames, checks each frame's CRC and the block order, answers ACK or NAK, keeps the
// received image, and decodes a date-time frame. It is finished when the last block of the
// image or a valid date-time frame has been acknowledged.
//
// Time is given by the caller (receive, takeDue); replies come out through takeDue when they
// are due. With a baud rate the replies are paced as a real line at that rate would deliver
// them: a frame is complete only when its 68 bytes could have crossed the line, and the
// answer only when its own bytes could have.
//
// Faults, all reproducible from the seed: random NAKs for good frames, garbage bytes (never
// 'C', ACK or NAK) before an answer, answers held back for a silent period, one 'C' restart
// instead of the ACK of a given frame, NAKs for the first deliveries of one block, and
// silence for ever after a number of frames, a line that goes dead (hungUp) after a number of
// frames.
//
// Not thread-safe; one owner drives it.

#include "link/link_frame.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <random>
#include <span>
#include <vector>

namespace Lift::Link {

struct SimulatorFaults {
    std::uint64_t seed = 1;
    double nakRate = 0;     // chance that a good frame is answered NAK
    double garbageRate = 0; // chance that an answer is preceded by 1..8 garbage bytes
    double silentRate = 0;  // chance that an answer is held back for silentMs
    int silentMs = 0;
    int restartAtFrame = 0; // the n-th accepted block is answered 'C' (restart), once; 0 none
    int nakBlock = 0;       // block whose first nakCount deliveries are answered NAK
    int nakCount = 0;
    int muteAfterFrames = -1;   // after this many frames nothing is answered; -1 never
    int hangUpAfterFrames = -1; // the frame after this many hangs the line up; -1 never
};

struct SimulatorConfig {
    int blocks = kFullBlockCount;                // image size in blocks (975 or 976)
    std::chrono::milliseconds askInterval{1000}; // 'C' repeated until the first frame
    std::uint8_t askByte = kRequestByte; // what to ask with (an ACK tests a peer that skips 'C')
    unsigned baud = 0;                   // 0: answer at once
    std::chrono::milliseconds gap{500};  // a partial frame idle this long is dropped and NAKed
    // After a second block 1 was left unanswered (see handleFrame), the ACK is repeated when
    // no frame follows within this time.
    std::chrono::milliseconds resync{500};
    SimulatorFaults faults;
};

struct SimulatorStats {
    int frames = 0;         // complete frames received
    int blocksAccepted = 0; // in-order blocks stored
    int duplicates = 0;     // previous block again
    int crcErrors = 0;
    int orderErrors = 0; // wrong block number or unknown frame kind
    int fragments = 0;   // partial frames dropped after a gap
    int acks = 0;
    int naks = 0;
    int requests = 0; // 'C' sent
    int garbageBytes = 0;
    int silentAnswers = 0;
    int restarts = 0;
};

class ControllerSimulator {
public:
    using TimePoint = std::chrono::steady_clock::time_point;

    explicit ControllerSimulator(const SimulatorConfig& config);

    // Starts asking: the first 'C' is due at now.
    void start(TimePoint now);
    // Bytes from the PC that reached the simulator at now.
    void receive(std::span<const std::uint8_t> bytes, TimePoint now);
    // The bytes to send at now, in order; empty when nothing is due.
    std::vector<std::uint8_t> takeDue(TimePoint now);
    // When takeDue next has something to give (or a partial frame expires), if ever.
    std::optional<TimePoint> nextDue() const;

    enum class Result { None, Image, DateTime };
    bool finished() const { return m_result != Result::None; }
    Result result() const { return m_result; }
    // The received image, blocks * 64 bytes; blocks not (yet) received are zero.
    const std::vector<std::uint8_t>& image() const { return m_image; }
    // The last valid date-time frame and what it says.
    const std::optional<LinkFrame>& dateTimeFrame() const { return m_dateTimeFrame; }
    std::optional<LocalDateTime> dateTime() const;
    const SimulatorStats& stats() const { return m_stats; }
    const SimulatorConfig& config() const { return m_config; }
    // The line went dead (hangUpAfterFrames): whoever serves it should hang up now.
    bool hungUp() const { return m_hungUp; }

private:
    struct Output {
        TimePoint due;
        std::vector<std::uint8_t> bytes;
    };
    void handleFrame(TimePoint completedAt);
    void answer(std::uint8_t byte, TimePoint frameDone);
    void queue(Output out);
    bool chance(double rate);
    std::chrono::nanoseconds byteTime() const;

    SimulatorConfig m_config;
    std::mt19937_64 m_random;
    std::vector<std::uint8_t> m_image;
    std::optional<LinkFrame> m_dateTimeFrame;
    Result m_result = Result::None;
    SimulatorStats m_stats;

    bool m_asking = false;
    TimePoint m_nextAsk{};
    int m_expectedBlock = 1;
    int m_nakBlockDeliveries = 0;
    std::optional<TimePoint> m_resyncAt;
    bool m_restarted = false;
    bool m_hungUp = false;

    LinkFrame m_frame{};
    std::size_t m_frameFill = 0;
    TimePoint m_lastByteAt{};
    TimePoint m_rxLineFree{};
    TimePoint m_txLineFree{};
    std::deque<Output> m_out;
};

} // namespace Lift::Link
