#include "link/controller_simulator.h"

#include <algorithm>

namespace Lift::Link {

namespace {
constexpr int kMaxGarbage = 8;
} // namespace

ControllerSimulator::ControllerSimulator(const SimulatorConfig& config)
    : m_config(config), m_random(config.faults.seed),
      m_image(static_cast<std::size_t>(std::max(config.blocks, 0)) * kBlockDataSize, 0) {}

void ControllerSimulator::start(TimePoint now) {
    m_asking = true;
    m_nextAsk = now;
}

std::chrono::nanoseconds ControllerSimulator::byteTime() const {
    // One start bit, eight data bits, one stop bit.
    return std::chrono::nanoseconds(10'000'000'000LL / m_config.baud);
}

bool ControllerSimulator::chance(double rate) {
    if (rate <= 0)
        return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(m_random) < rate;
}

void ControllerSimulator::receive(std::span<const std::uint8_t> bytes, TimePoint now) {
    if (bytes.empty())
        return;
    if (m_frameFill > 0 && now - m_lastByteAt >= m_config.gap) {
        // The rest of that frame is not coming: drop it and ask for it again.
        ++m_stats.fragments;
        m_frameFill = 0;
        answer(kNakByte, now);
    }
    m_asking = false;
    m_resyncAt.reset();
    const TimePoint start = m_config.baud ? std::max(now, m_rxLineFree) : now;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        m_frame[m_frameFill++] = bytes[i];
        if (m_frameFill == kFrameSize) {
            m_frameFill = 0;
            ++m_stats.frames;
            handleFrame(m_config.baud ? start + byteTime() * static_cast<long>(i + 1) : now);
        }
    }
    m_rxLineFree = m_config.baud ? start + byteTime() * static_cast<long>(bytes.size()) : now;
    m_lastByteAt = now;
}

void ControllerSimulator::handleFrame(TimePoint done) {
    const SimulatorFaults& f = m_config.faults;
    if (f.hangUpAfterFrames >= 0 && m_stats.frames > f.hangUpAfterFrames)
        m_hungUp = true;
    if (m_hungUp || (f.muteAfterFrames >= 0 && m_stats.frames > f.muteAfterFrames))
        return;
    if (!FrameCrcValid(m_frame)) {
        ++m_stats.crcErrors;
        answer(kNakByte, done);
        return;
    }
    if (m_frame[0] == kDateTimeKind) {
        if (DecodeDateTimeFrame(m_frame)) {
            m_dateTimeFrame = m_frame;
            m_result = Result::DateTime;
            answer(kAckByte, done);
        } else {
            ++m_stats.orderErrors;
            answer(kNakByte, done);
        }
        return;
    }
    const std::optional<int> block = RomBlockNumber(m_frame);
    if (block && *block == m_expectedBlock - 1) {
        ++m_stats.duplicates;
        // Two requests can cross the first frame on the line, and the PC then sends block 1
        // twice; answering both would put two frames in flight for the rest of the transfer.
        // But the PC may also have taken the second request and dropped the ACK behind it in
        // the same chunk: then it waits, and the ACK is given again after a while.
        if (*block == 1 && m_stats.requests > 1 && !m_restarted) {
            m_resyncAt = done + m_config.resync;
            return;
        }
        answer(kAckByte, done);
        return;
    }
    if (!block || *block != m_expectedBlock || *block > m_config.blocks) {
        ++m_stats.orderErrors;
        answer(kNakByte, done);
        return;
    }
    if (*block == f.nakBlock && m_nakBlockDeliveries < f.nakCount) {
        ++m_nakBlockDeliveries;
        answer(kNakByte, done);
        return;
    }
    if (f.restartAtFrame > 0 && !m_restarted && m_stats.blocksAccepted + 1 == f.restartAtFrame) {
        m_restarted = true;
        ++m_stats.restarts;
        m_expectedBlock = 1;
        answer(kRequestByte, done);
        return;
    }
    if (chance(f.nakRate)) {
        answer(kNakByte, done);
        return;
    }
    std::copy(m_frame.begin() + 3, m_frame.begin() + 3 + kBlockDataSize,
              m_image.begin() + static_cast<std::ptrdiff_t>(*block - 1) * kBlockDataSize);
    ++m_stats.blocksAccepted;
    ++m_expectedBlock;
    if (*block == m_config.blocks)
        m_result = Result::Image;
    answer(kAckByte, done);
}

void ControllerSimulator::answer(std::uint8_t byte, TimePoint frameDone) {
    Output out;
    if (chance(m_config.faults.garbageRate)) {
        const int n = std::uniform_int_distribution<int>(1, kMaxGarbage)(m_random);
        for (int i = 0; i < n; ++i) {
            std::uint8_t g;
            do
                g = static_cast<std::uint8_t>(m_random());
            while (g == kRequestByte || g == kAckByte || g == kNakByte);
            out.bytes.push_back(g);
        }
        m_stats.garbageBytes += n;
    }
    out.bytes.push_back(byte);
    if (m_config.baud) {
        const TimePoint start = std::max(frameDone, m_txLineFree);
        out.due = start + byteTime() * static_cast<long>(out.bytes.size());
        m_txLineFree = out.due;
    } else {
        out.due = frameDone;
    }
    if (chance(m_config.faults.silentRate)) {
        out.due += std::chrono::milliseconds(m_config.faults.silentMs);
        ++m_stats.silentAnswers;
    }
    if (byte == kAckByte)
        ++m_stats.acks;
    else if (byte == kNakByte)
        ++m_stats.naks;
    else
        ++m_stats.requests;
    queue(std::move(out));
}

void ControllerSimulator::queue(Output out) {
    const auto at = std::upper_bound(m_out.begin(), m_out.end(), out.due,
                                     [](TimePoint t, const Output& o) { return t < o.due; });
    m_out.insert(at, std::move(out));
}

std::vector<std::uint8_t> ControllerSimulator::takeDue(TimePoint now) {
    if (m_frameFill > 0 && now - m_lastByteAt >= m_config.gap) {
        ++m_stats.fragments;
        m_frameFill = 0;
        answer(kNakByte, now);
    }
    if (m_resyncAt && now >= *m_resyncAt) {
        m_resyncAt.reset();
        answer(kAckByte, now);
    }
    if (m_asking && now >= m_nextAsk) {
        ++m_stats.requests;
        queue(Output{now, {m_config.askByte}});
        m_nextAsk = now + m_config.askInterval;
    }
    std::vector<std::uint8_t> bytes;
    while (!m_out.empty() && m_out.front().due <= now) {
        bytes.insert(bytes.end(), m_out.front().bytes.begin(), m_out.front().bytes.end());
        m_out.pop_front();
    }
    return bytes;
}

std::optional<ControllerSimulator::TimePoint> ControllerSimulator::nextDue() const {
    std::optional<TimePoint> next;
    const auto consider = [&](TimePoint t) {
        if (!next || t < *next)
            next = t;
    };
    if (!m_out.empty())
        consider(m_out.front().due);
    if (m_asking)
        consider(m_nextAsk);
    if (m_frameFill > 0)
        consider(m_lastByteAt + m_config.gap);
    if (m_resyncAt)
        consider(*m_resyncAt);
    return next;
}

std::optional<LocalDateTime> ControllerSimulator::dateTime() const {
    if (!m_dateTimeFrame)
        return std::nullopt;
    return DecodeDateTimeFrame(*m_dateTimeFrame);
}

} // namespace Lift::Link
