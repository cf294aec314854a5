#pragma once
// ParityMarkDecoder: turns the driver's in-band error marks into the error-replacement byte.
//
// With parity checking on, the port is set to mark bad bytes in the data (PARMRK): a byte
// received with a parity or framing error arrives as 0xFF 0x00 b, a break as 0xFF 0x00 0x00,
// and a good 0xFF byte is doubled to 0xFF 0xFF. The component promises the byte 0x0A in place
// of a byte with a parity error, so each mark becomes one 0x0A and each doubled 0xFF one 0xFF.
// Marks may be split across reads; the decoder keeps the part it has seen. Pure, one per port.

#include <cstddef>

namespace Lift::Serial {

class ParityMarkDecoder {
public:
    static constexpr char kReplacement = 0x0A;

    // Decodes n bytes in place and returns how many remain (never more than n).
    std::size_t decode(char* bytes, std::size_t n) {
        std::size_t out = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const auto b = static_cast<unsigned char>(bytes[i]);
            switch (m_state) {
            case State::Plain:
                if (b == 0xFF)
                    m_state = State::SawFF;
                else
                    bytes[out++] = static_cast<char>(b);
                break;
            case State::SawFF:
                if (b == 0x00) {
                    m_state = State::SawMark;
                } else if (b == 0xFF) {
                    bytes[out++] = static_cast<char>(0xFF);
                    m_state = State::Plain;
                } else {
                    // The driver never sends this. Keep both bytes where there is room in
                    // place; only a lone 0xFF left over from the previous read is dropped.
                    if (out < i)
                        bytes[out++] = static_cast<char>(0xFF);
                    bytes[out++] = static_cast<char>(b);
                    m_state = State::Plain;
                }
                break;
            case State::SawMark:
                bytes[out++] = kReplacement;
                m_state = State::Plain;
                break;
            }
        }
        return out;
    }

    void reset() { m_state = State::Plain; }

private:
    enum class State { Plain, SawFF, SawMark };
    State m_state = State::Plain;
};

} // namespace Lift::Serial
