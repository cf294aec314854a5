#pragma once
// The command lines the PC sends to the KBNet adapter. Pure text building, no port.
//
// Every command line begins with one blank and ends with CR LF; register values are two
// upper-case hex digits. A packet goes out as ">" and the hex of its wire bytes.

#include "fieldbus/kbnet_packet.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Lift::Fieldbus {

// The connect queries: a blank and LF (ends whatever the adapter had half read), then the
// nine register queries R3..R9, R0, R1. 56 bytes.
inline constexpr std::string_view kKbnConnectQueries =
    " \n ?R3\r\n ?R4\r\n ?R5\r\n ?R6\r\n ?R7\r\n ?R8\r\n ?R9\r\n ?R0\r\n ?R1\r\n";

// A packet line is built in 256 bytes with a terminating zero: ">" + 2 * (count + 3) digits
// + CR LF fits only up to this many data bytes, whatever R6 allows.
inline constexpr int kKbnMaxLineDataBytes = 123;

// Register 0..15 as its name character: '0'..'9', 'A'..'F'.
char KbnRegisterName(int registerIndex);

// " ?Rn\r\n"
std::string KbnQueryLine(int registerIndex);
// " +Rn=HH\r\n"
std::string KbnWriteLine(int registerIndex, std::uint8_t value);
// " +Rn=HH\r\n ?Rn\r\n": the write, then the query that reports it back.
std::string KbnWriteAndQueryLine(int registerIndex, std::uint8_t value);
// ">" + the first BytesOfDatas + 3 bytes of the record in hex + CR LF. The caller checks the
// count (1..kKbnMaxLineDataBytes).
std::string KbnPacketLine(const ZebCtrl::_SKBNTXDPACKET& packet);

} // namespace Lift::Fieldbus
