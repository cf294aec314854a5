#pragma once
// A network manager whose "bus" is a list: every packet sent is recorded as its wire bytes
// (segment, node, count, data), so tests can compare them with what the bus should see.

#include "fieldbus/kbnet_rnsm.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace Lift::Test {

using KbnBytes = std::vector<std::uint8_t>;

class FakeKbnAdapter : public ZebCtrl::TKBNet_Rnsm {
public:
    using ZebCtrl::TKBNet_Rnsm::TKBNet_Rnsm;

    void SendKbnPacket(const ZebCtrl::_SKBNTXDPACKET& packet) override {
        KbnBytes bytes{packet.KbnSegId, packet.KbnNodeId, packet.BytesOfDatas};
        bytes.insert(bytes.end(), packet.Datas, packet.Datas + packet.BytesOfDatas);
        sent.push_back(bytes);
    }

    std::vector<KbnBytes> sent;
};

// A received record from its wire bytes {seg, node, count, data...}.
inline ZebCtrl::TKbnRxdPacket RxdPacket(std::initializer_list<std::uint8_t> bytes) {
    ZebCtrl::TKbnRxdPacket packet;
    std::size_t i = 0;
    for (std::uint8_t b : bytes) {
        if (i == 0)
            packet.KbnSegId = b;
        else if (i == 1)
            packet.KbnNodeId = b;
        else if (i == 2)
            packet.BytesOfDatas = b;
        else if (i - 3 < sizeof packet.Datas)
            packet.Datas[i - 3] = b;
        ++i;
    }
    return packet;
}

// One raised node event, as seen by a handler.
struct KbnEventSeen {
    ZebCtrl::TKBNet* sender;
    std::uint8_t seg;
    std::uint8_t node;
    bool operator==(const KbnEventSeen&) const = default;
};

inline ZebCtrl::TKbnNodeEvent RecordInto(std::vector<KbnEventSeen>& seen) {
    return [&seen](ZebCtrl::TKBNet* sender, std::uint8_t seg, std::uint8_t node) {
        seen.push_back({sender, seg, node});
    };
}

} // namespace Lift::Test
