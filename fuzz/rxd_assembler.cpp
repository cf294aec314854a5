// Received bytes cut into units: any bytes, any split into reads, any filter settings. Checks
// that units have the promised shape and that no byte is invented, lost or reordered except
// those an overflow drops.
#include "serial/rxd_assembler.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    Lift::Serial::RxdFilterConfig config;
    config.style = static_cast<YVclCtrl::TRxdFilter>(data[0] % 3);
    config.delimiter = static_cast<char>(data[1]);
    config.rxdQueueSize = 1024 + data[2] % 64;
    config.bytesOfPacket =
        1 + (static_cast<std::uint32_t>(data[3]) * 7) % (config.rxdQueueSize + 16);
    data += 4;
    size -= 4;

    std::vector<char> filtered(config.rxdQueueSize + 8);
    Lift::Serial::RxdAssembler assembler(config, filtered.data());
    std::string delivered; // every unit, in order
    std::string accepted;  // every byte the assembler looked at and kept
    std::size_t pos = 0;
    while (pos < size) {
        // Each read: a length byte, then that many bytes (at most the queue size).
        std::size_t n = data[pos++] % 200 + 1;
        if (data[pos - 1] == 0xFF)
            n = config.rxdQueueSize; // now and then a full read
        n = std::min(n, size - pos);
        const char* read = reinterpret_cast<const char*>(data + pos);
        const std::uint32_t before = assembler.filteredCount();
        std::string units;
        try {
            assembler.feed(read, n, [&](std::uint32_t count) {
                if (count == 0 || count > config.rxdQueueSize)
                    __builtin_trap();
                if (config.style == YVclCtrl::rfs_ByDelimiterChar &&
                    filtered[count - 1] != config.delimiter)
                    __builtin_trap();
                if (config.style == YVclCtrl::rfs_ByBytesOfPacket && count != config.bytesOfPacket)
                    __builtin_trap();
                units.append(filtered.data(), count);
                return true;
            });
            accepted.append(read, n);
        } catch (const YVclUtil::EYGeneral&) {
            if (config.style == YVclCtrl::rfs_None || assembler.filteredCount() != 0)
                __builtin_trap();
            // Bytes after the overflowing one are dropped with the partial unit.
            accepted.clear();
            delivered.clear();
            pos += n;
            continue;
        }
        (void)before;
        delivered += units;
        // What was delivered plus what waits is exactly what came in, in order.
        const std::uint32_t waiting = assembler.filteredCount();
        if (delivered.size() + waiting != accepted.size() ||
            accepted.compare(0, delivered.size(), delivered) != 0 ||
            accepted.compare(delivered.size(), waiting, filtered.data(), waiting) != 0)
            __builtin_trap();
        accepted.erase(0, delivered.size());
        delivered.clear();
        pos += n;
    }
    return 0;
}
