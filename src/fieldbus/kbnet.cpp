#include "fieldbus/kbnet.h"

#include "fieldbus/kbnet_messages.h"
#include "util/eygeneral.h"

namespace ZebCtrl {

using YVclUtil::EYGeneral;

TKBNet::TKBNet(YVclCtrl::TComponent* AOwner) : YVclCtrl::TComponent(AOwner) {}

TKBNet::TKBNet(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
               std::uint8_t AKbnNodeId)
    : YVclCtrl::TComponent(AOwner), m_kbnClsId(AKbnClsId), m_kbnSegId(AKbnSegId),
      m_kbnNodeId(AKbnNodeId) {}

TKBNet::TKBNet(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
               std::uint8_t AKbnNodeId, const TKBNet* ATemplate)
    : YVclCtrl::TComponent(AOwner) {
    // A missing template cannot be copied either; say so rather than crash.
    if (!ATemplate)
        throw EYGeneral("\nErr: No template component for the copying construction !!!\n");
    if (ATemplate->m_kbnClsId != AKbnClsId)
        throw EYGeneral("\nErr: %s\n", kKbnBig5_CopyClassDiffers);
    OnPacketUnreachable = ATemplate->OnPacketUnreachable;
    OnSuccessfulReset = ATemplate->OnSuccessfulReset;
    OnGotKbnProtocolVersion = ATemplate->OnGotKbnProtocolVersion;
    OnGotKbnClsId = ATemplate->OnGotKbnClsId;
    OnGotKbnCustomerId = ATemplate->OnGotKbnCustomerId;
    OnUnfilteredRxdKbnPacket = ATemplate->OnUnfilteredRxdKbnPacket;
    m_unreachableReport = ATemplate->m_unreachableReport;
    m_protocolVersion = ATemplate->m_protocolVersion;
    m_reportedClsId = ATemplate->m_reportedClsId;
    m_customerId = ATemplate->m_customerId;
    m_kbnClsId = AKbnClsId;
    m_kbnSegId = AKbnSegId;
    m_kbnNodeId = AKbnNodeId;
}

void TKBNet::fireNodeEvent(const TKbnNodeEvent& event) {
    // A copy: the handler may assign the event it is running from.
    if (TKbnNodeEvent handler = event)
        handler(this, m_kbnSegId, m_kbnNodeId);
}

void TKBNet::FilteringReceivedKbnPacket(const TKbnRxdPacket& ARxdPacket) {
    const std::uint8_t* datas = ARxdPacket.Datas;
    switch (datas[0]) {
    case kcmd_ReplyProtocolVersion:
        BeforeFireOnGotKbnProtocolVersionEvent();
        m_protocolVersion = datas[1];
        fireNodeEvent(OnGotKbnProtocolVersion);
        break;
    case kcmd_ReplyClsId:
        BeforeFireOnGotKbnClsIdEvent();
        m_reportedClsId = datas[1];
        fireNodeEvent(OnGotKbnClsId);
        break;
    case kcmd_ReplyCustomerId:
        BeforeFireOnGotKbnCustomerIdEvent();
        m_customerId = datas[1];
        fireNodeEvent(OnGotKbnCustomerId);
        break;
    case kcmd_ResetDone:
        BeforeFireOnSuccessfulResetEvent();
        fireNodeEvent(OnSuccessfulReset);
        break;
    case kcmd_PacketUnreachable:
        BeforeFireOnPacketUnreachableEvent();
        m_unreachableReport = {datas[1], datas[2], datas[3]};
        fireNodeEvent(OnPacketUnreachable);
        break;
    default:
        BeforeFireOnUnfilteredRxdKbnPacketEvent();
        if (TKbnRxdPacketEvent handler = OnUnfilteredRxdKbnPacket)
            handler(this, ARxdPacket);
        break;
    }
}

} // namespace ZebCtrl
