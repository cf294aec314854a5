#pragma once
// The adapter's received lines, decoded: a register report ("*Rn=HH") or a field-bus packet
// ("@" + upper-case hex pairs). Pure: bytes in, a value out; no state, no port.
//
// The line is what the serial component delivers: the bytes up to and including LF, with no
// zero byte behind them. Decoding stops at the first CR or LF, and the end of the bytes counts
// as one, so nothing past the line is ever read. Anything that breaks a rule yields Ignored;
// there is no error to report (the adapter drops such lines without a word).

#include "fieldbus/kbnet_packet.h"

#include <cstdint>
#include <string_view>

namespace Lift::Fieldbus {

// One bit per register, as the connect and the event dispatch count them.
enum KbnRegisterBit : std::uint32_t {
    krb_R0 = 0x1,
    krb_R1 = 0x2,
    krb_R3 = 0x8,
    krb_R4 = 0x10,
    krb_R5 = 0x20,
    krb_R6 = 0x40,
    krb_R7 = 0x80,
    krb_R8 = 0x100,
    krb_R9 = 0x200,
    krb_RE = 0x4000,
    krb_RF = 0x8000,
};
// R0, R1 and R3..R9: what the connect queries ask for.
inline constexpr std::uint32_t kKbnConnectReplyMask = 0x3FB;

struct KbnAdapterLine {
    enum class Kind { Ignored, RegisterReport, Packet };
    Kind kind = Kind::Ignored;
    // RegisterReport: register number 0..15 (RE = 14, RF = 15), its bit and the value.
    int registerIndex = 0;
    std::uint32_t registerBit = 0;
    std::uint8_t value = 0;
    // Packet: a whole, consistent record (more than 3 bytes; byte count = BytesOfDatas + 3).
    ZebCtrl::TKbnRxdPacket packet{};
};

// Register reports: "*R" + register + "=" + a number read as strtoul reads base 16 (leading
// blanks, a sign) that ends exactly after the sixth character, e.g. "*R6=08". Registers 0, 1,
// 3..9, E and F (upper case); anything else is ignored. The value keeps its low 8 bits.
// Packets: pairs of "0"-"9"/"A"-"F" after the "@", at most 20 bytes.
KbnAdapterLine ParseKbnAdapterLine(std::string_view line);

} // namespace Lift::Fieldbus
