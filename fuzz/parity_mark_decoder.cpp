// Received bytes with in-band error marks, split into reads anywhere: decoding in place must
// stay inside each read, and a stream without stray 0xFF bytes must decode the same however it
// is split.
#include "serial/parity_mark_decoder.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const std::size_t step = data[0] % 16 + 1;
    const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);

    Lift::Serial::ParityMarkDecoder whole;
    std::string all = input;
    all.resize(whole.decode(all.data(), all.size()));

    Lift::Serial::ParityMarkDecoder split;
    std::string pieces;
    for (std::size_t pos = 0; pos < input.size(); pos += step) {
        // Each read in its own exactly sized buffer, so ASan sees any write past it.
        const std::size_t n = std::min(step, input.size() - pos);
        std::vector<char> read(input.begin() + static_cast<std::ptrdiff_t>(pos),
                               input.begin() + static_cast<std::ptrdiff_t>(pos + n));
        const std::size_t out = split.decode(read.data(), read.size());
        if (out > n)
            __builtin_trap();
        pieces.append(read.data(), out);
    }
    // A stray 0xFF (never sent by the driver) may be kept whole but dropped at a read boundary;
    // otherwise the split must not matter.
    bool stray = false;
    int state = 0; // 0 plain, 1 after 0xFF, 2 inside a mark
    for (char c : input) {
        const auto b = static_cast<unsigned char>(c);
        if (state == 0)
            state = b == 0xFF ? 1 : 0;
        else if (state == 1) {
            stray = stray || (b != 0x00 && b != 0xFF);
            state = b == 0x00 ? 2 : 0;
        } else
            state = 0;
    }
    if (!stray && pieces != all)
        __builtin_trap();
    return 0;
}
