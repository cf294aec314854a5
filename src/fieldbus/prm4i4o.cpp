#include "fieldbus/prm4i4o.h"

namespace ZebCtrl {

namespace {
bool bitOf(std::uint8_t byte, int index) {
    return index >= 0 && index <= 3 && (byte & (1u << index)) != 0;
}
} // namespace

TPrm4i4o::TPrm4i4o(YVclCtrl::TComponent* AOwner)
    : TKBNet_Node(AOwner, kci_Prm4i4o, kKbnMaxSegId, 0) {}

TPrm4i4o::TPrm4i4o(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                   std::uint8_t AKbnNodeId)
    : TKBNet_Node(AOwner, AKbnClsId, AKbnSegId, AKbnNodeId) {}

TPrm4i4o::TPrm4i4o(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                   std::uint8_t AKbnNodeId, const TKBNet* ATemplate)
    : TKBNet_Node(AOwner, AKbnClsId, AKbnSegId, AKbnNodeId, ATemplate) {
    copyModuleFields(ATemplate);
}

TPrm4i4o::TPrm4i4o(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                   std::uint8_t AKbnNodeId, TKBNet_Topologic* ATopologic)
    : TKBNet_Node(AOwner, AKbnClsId, AKbnSegId, AKbnNodeId, ATopologic) {}

TPrm4i4o::TPrm4i4o(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                   std::uint8_t AKbnNodeId, const TKBNet* ATemplate, TKBNet_Topologic* ATopologic)
    : TKBNet_Node(AOwner, AKbnClsId, AKbnSegId, AKbnNodeId, ATemplate, ATopologic) {
    copyModuleFields(ATemplate);
}

void TPrm4i4o::copyModuleFields(const TKBNet* ATemplate) {
    const auto* module = dynamic_cast<const TPrm4i4o*>(ATemplate);
    if (!module)
        return;
    m_yout = module->m_yout;
    m_xin = module->m_xin;
    m_oldXin = module->m_oldXin;
    OnInputChanged = module->OnInputChanged;
}

void TPrm4i4o::pw_Yout(std::uint8_t AYout) {
    m_yout = AYout;
    _SKBNTXDPACKET packet;
    packet.KbnSegId = m_kbnSegId;
    packet.KbnNodeId = m_kbnNodeId;
    packet.BytesOfDatas = 2;
    packet.Datas[0] = kcmd_Prm4i4oSetOutputs;
    packet.Datas[1] = m_yout;
    SendKbnPacket(packet);
}

bool TPrm4i4o::pr_BitOfY(int AIndex) const {
    return bitOf(m_yout, AIndex);
}
bool TPrm4i4o::pr_BitOfX(int AIndex) const {
    return bitOf(m_xin, AIndex);
}
bool TPrm4i4o::pr_Old_BitOfX(int AIndex) const {
    return bitOf(m_oldXin, AIndex);
}

void TPrm4i4o::pw_BitOfY(int AIndex, bool AValue) {
    if (AIndex < 0 || AIndex > 3)
        return;
    const auto mask = static_cast<std::uint8_t>(1u << AIndex);
    pw_Yout(static_cast<std::uint8_t>(AValue ? (m_yout | mask) : (m_yout & ~mask)));
}

void TPrm4i4o::FilteringReceivedKbnPacket(const TKbnRxdPacket& ARxdPacket) {
    if (ARxdPacket.Datas[0] != kcmd_Prm4i4oInputReport) {
        TKBNet_Node::FilteringReceivedKbnPacket(ARxdPacket);
        return;
    }
    m_oldXin = m_xin;
    m_xin = ARxdPacket.Datas[1];
    if (TKbnNodeEvent handler = OnInputChanged)
        handler(this, m_kbnSegId, m_kbnNodeId);
}

void TPrm4i4o::BeforeRunRequestToReset() {
    m_yout = 0;
}

void TPrm4i4o::BeforeFireOnSuccessfulResetEvent() {
    if (m_yout != 0)
        pw_Yout(m_yout);
}

} // namespace ZebCtrl
