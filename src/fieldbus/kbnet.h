#pragma once
// TKBNet: what every KBNet component has: its device class and bus address, the last reply
// values, and the six packet events raised by FilteringReceivedKbnPacket.
//
// Abstract: the address setters belong to the subclasses (a node validates and stores, the
// network manager ignores). Events are plain bound-method fields; an empty one is not
// raised. Everything runs on the main loop's thread. Errors raise YVclUtil::EYGeneral.

#include "fieldbus/kbnet_packet.h"
#include "util/component.h"

#include <array>
#include <cstdint>

namespace ZebCtrl {

class TKBNet : public YVclCtrl::TComponent {
public:
    // Class id 0, segment 0x80, node 0.
    explicit TKBNet(YVclCtrl::TComponent* AOwner);
    TKBNet(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
           std::uint8_t AKbnNodeId);
    // Copying constructor: copies every KBNet field (events included) from ATemplate, then
    // takes the class id and address given. Raises EYGeneral, before copying anything, when
    // ATemplate is null or of another class id.
    TKBNet(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
           std::uint8_t AKbnNodeId, const TKBNet* ATemplate);

    _EKbnClsId pr_KbnClsId() const { return m_kbnClsId; }
    std::uint8_t pr_KbnSegId() const { return m_kbnSegId; }
    std::uint8_t pr_KbnNodeId() const { return m_kbnNodeId; }
    virtual void pw_KbnSegId(std::uint8_t AKbnSegId) = 0;
    virtual void pw_KbnNodeId(std::uint8_t AKbnNodeId) = 0;

    // Handles one received packet addressed to this component: stores the reply value and
    // raises the matching event (see the command table in kbnet_packet.h).
    virtual void FilteringReceivedKbnPacket(const TKbnRxdPacket& ARxdPacket);

    // Values of the last replies; they stay until the next reply of the same kind.
    const std::array<std::uint8_t, 3>& pr_PacketUnreachableReport() const {
        return m_unreachableReport;
    }
    std::uint8_t pr_KbnProtocolVersion() const { return m_protocolVersion; }
    std::uint8_t pr_ReportedKbnClsId() const { return m_reportedClsId; }
    std::uint8_t pr_KbnCustomerId() const { return m_customerId; }

    TKbnNodeEvent OnPacketUnreachable;
    TKbnNodeEvent OnSuccessfulReset;
    TKbnNodeEvent OnGotKbnProtocolVersion;
    TKbnNodeEvent OnGotKbnClsId;
    TKbnNodeEvent OnGotKbnCustomerId;
    TKbnRxdPacketEvent OnUnfilteredRxdKbnPacket;

protected:
    // Hooks run just before the matching event would be raised (also when it is empty).
    virtual void BeforeFireOnPacketUnreachableEvent() {}
    virtual void BeforeFireOnSuccessfulResetEvent() {}
    virtual void BeforeFireOnGotKbnProtocolVersionEvent() {}
    virtual void BeforeFireOnGotKbnClsIdEvent() {}
    virtual void BeforeFireOnGotKbnCustomerIdEvent() {}
    virtual void BeforeFireOnUnfilteredRxdKbnPacketEvent() {}

    _EKbnClsId m_kbnClsId = kci_None;
    std::uint8_t m_kbnSegId = kKbnMaxSegId;
    std::uint8_t m_kbnNodeId = 0;

private:
    void fireNodeEvent(const TKbnNodeEvent& event);

    std::array<std::uint8_t, 3> m_unreachableReport{};
    std::uint8_t m_protocolVersion = 0;
    std::uint8_t m_reportedClsId = 0;
    std::uint8_t m_customerId = 0;
};

} // namespace ZebCtrl
