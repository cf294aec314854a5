#pragma once
// KBNet packet records and the event types shared by every KBNet component.
//
// A record is the packet as it travels on the bus: segment address, node address, number of
// data bytes, then the data bytes; Datas[0] is the command byte. The layout is the wire
// layout (no padding: every member is a byte), so the adapter may send the first
// BytesOfDatas + 3 bytes of a record as they are.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace ZebCtrl {

// Device class of a KBNet component. Values 0..0xA8; 0x80 is the 4-input/4-output module.
enum _EKbnClsId : std::uint32_t {
    kci_None = 0x00,
    kci_Prm4i4o = 0x80,
};

// Command bytes (Datas[0]).
enum TKbnCommand : std::uint8_t {
    kcmd_QueryProtocolVersion = 0x03,
    kcmd_QueryClsId = 0x04,
    kcmd_QueryCustomerId = 0x05,
    kcmd_RequestToReset = 0x0F,
    kcmd_ReplyProtocolVersion = 0x13,
    kcmd_ReplyClsId = 0x14,
    kcmd_ReplyCustomerId = 0x15,
    kcmd_ResetDone = 0x1F,
    kcmd_PacketUnreachable = 0x21,
    kcmd_Prm4i4oInputReport = 0x81,
    kcmd_Prm4i4oSetOutputs = 0x84,
};

// Highest segment and node address a component may take.
inline constexpr std::uint8_t kKbnMaxSegId = 0x80;
inline constexpr std::uint8_t kKbnMaxNodeId = 0x7F;

// A packet to send. BytesOfDatas is one byte, so Datas can hold every count it can name;
// how many the adapter accepts is the adapter's limit.
struct _SKBNTXDPACKET {
    std::uint8_t KbnSegId = 0;
    std::uint8_t KbnNodeId = 0;
    std::uint8_t BytesOfDatas = 0;
    std::uint8_t Datas[255] = {};
};

// A received packet: at most 20 bytes on the wire, so at most 17 data bytes.
struct _SKBNRXDPACKET {
    std::uint8_t KbnSegId = 0;
    std::uint8_t KbnNodeId = 0;
    std::uint8_t BytesOfDatas = 0;
    std::uint8_t Datas[17] = {};
};
using TKbnRxdPacket = _SKBNRXDPACKET;

inline constexpr std::size_t kKbnRxdPacketMaxBytes = sizeof(_SKBNRXDPACKET);
static_assert(sizeof(_SKBNRXDPACKET) == 20, "a received record is the 20 wire bytes");
static_assert(sizeof(_SKBNTXDPACKET) == 258, "a record to send is its wire bytes");

class TKBNet;

// Bound-method events. Sender is the component raising the event; the address is the
// component's own, not the packet's.
using TKbnNodeEvent =
    std::function<void(TKBNet* Sender, std::uint8_t AKbnSegId, std::uint8_t AKbnNodeId)>;
using TKbnRxdPacketEvent = std::function<void(TKBNet* Sender, const TKbnRxdPacket& RxdPacket)>;

} // namespace ZebCtrl
