#pragma once
// RxdAssembler: cuts received bytes into the units the component delivers.
//
// rfs_None delivers each read as it came. rfs_ByDelimiterChar collects up to and including the
// delimiter; rfs_ByBytesOfPacket collects exactly BytesOfPacket bytes. A unit may span reads and
// one read may hold several units. Units are assembled in a buffer owned by the caller of at
// least rxdQueueSize bytes (the component's FilteredRxdBuff).
//
// Overflow: when a unit reaches rxdQueueSize bytes without being complete, the count drops to 0
// and EYGeneral is raised; the bytes of that read after the overflowing one are not looked at.
// Pure logic, no threads: the monitor thread owns one per open port.

#include "serial/uart_types.h"
#include "util/eygeneral.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace Lift::Serial {

struct RxdFilterConfig {
    YVclCtrl::TRxdFilter style = YVclCtrl::rfs_None;
    char delimiter = '\n';
    std::uint32_t bytesOfPacket = 1;
    std::uint32_t rxdQueueSize = 1024;
};

class RxdAssembler {
public:
    RxdAssembler(const RxdFilterConfig& config, char* filtered)
        : m_config(config), m_filtered(filtered) {}

    // Feeds one read. deliver(count) is called for each complete unit, which lies in the
    // filtered buffer at [0, count); the count drops to 0 after deliver returns. deliver
    // returns false to stop: the rest of the read is dropped and the buffer is not touched
    // again (it may belong to someone else by then). n must not exceed rxdQueueSize for
    // rfs_None.
    template <typename Deliver> void feed(const char* raw, std::size_t n, Deliver&& deliver) {
        switch (m_config.style) {
        case YVclCtrl::rfs_ByDelimiterChar:
            for (std::size_t i = 0; i < n; ++i) {
                m_filtered[m_count++] = raw[i];
                if (raw[i] == m_config.delimiter) {
                    if (!deliverUnit(deliver))
                        return;
                } else if (m_count >= m_config.rxdQueueSize) {
                    m_count = 0;
                    throw YVclUtil::EYGeneral("TCustomUart FilteredRxdBuff overflow, when "
                                              "delimiting the received datas !!!");
                }
            }
            break;
        case YVclCtrl::rfs_ByBytesOfPacket:
            for (std::size_t i = 0; i < n; ++i) {
                m_filtered[m_count++] = raw[i];
                if (m_count == m_config.bytesOfPacket) {
                    if (!deliverUnit(deliver))
                        return;
                } else if (m_count >= m_config.rxdQueueSize) {
                    m_count = 0;
                    throw YVclUtil::EYGeneral("TCustomUart FilteredRxdBuff overflow, when "
                                              "collection bytes of the received datas !!!");
                }
            }
            break;
        case YVclCtrl::rfs_None:
        default:
            if (n == 0)
                return;
            std::memcpy(m_filtered, raw, n);
            m_count = static_cast<std::uint32_t>(n);
            deliverUnit(deliver);
            break;
        }
    }

    std::uint32_t filteredCount() const { return m_count; }
    void reset() { m_count = 0; }

private:
    template <typename Deliver> bool deliverUnit(Deliver& deliver) {
        const bool goOn = deliver(m_count);
        m_count = 0;
        return goOn;
    }

    RxdFilterConfig m_config;
    char* m_filtered;
    std::uint32_t m_count = 0;
};

} // namespace Lift::Serial
