#include "fieldbus/kbnet_node.h"

#include "fieldbus/kbnet_topologic.h"
#include "util/eygeneral.h"

#include <algorithm>

namespace ZebCtrl {

using YVclUtil::EYGeneral;

TKBNet_Node::TKBNet_Node(YVclCtrl::TComponent* AOwner) : TKBNet(AOwner) {}

TKBNet_Node::TKBNet_Node(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                         std::uint8_t AKbnNodeId)
    : TKBNet(AOwner, AKbnClsId, AKbnSegId, AKbnNodeId) {}

TKBNet_Node::TKBNet_Node(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                         std::uint8_t AKbnNodeId, const TKBNet* ATemplate)
    : TKBNet(AOwner, AKbnClsId, AKbnSegId, AKbnNodeId, ATemplate) {
    copyNodeFields(ATemplate);
    if (m_bindTo)
        m_bindTo->linkNode(this);
}

TKBNet_Node::TKBNet_Node(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                         std::uint8_t AKbnNodeId, TKBNet_Topologic* ATopologic)
    : TKBNet(AOwner, AKbnClsId, AKbnSegId, AKbnNodeId) {
    bindAndRegister(ATopologic);
}

TKBNet_Node::TKBNet_Node(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                         std::uint8_t AKbnNodeId, const TKBNet* ATemplate,
                         TKBNet_Topologic* ATopologic)
    : TKBNet(AOwner, AKbnClsId, AKbnSegId, AKbnNodeId, ATemplate) {
    copyNodeFields(ATemplate);
    bindAndRegister(ATopologic);
}

TKBNet_Node::~TKBNet_Node() {
    // Leave every table that could still reach us; each call removes one link.
    while (!m_linkedTopologics.empty()) {
        TKBNet_Topologic* topologic = m_linkedTopologics.back();
        m_linkedTopologics.pop_back();
        topologic->nodeDestroyed(this);
    }
}

void TKBNet_Node::copyNodeFields(const TKBNet* ATemplate) {
    const auto* node = dynamic_cast<const TKBNet_Node*>(ATemplate);
    if (!node)
        return;
    m_nodeFlags = node->m_nodeFlags;
    m_bindTo = node->m_bindTo;
}

void TKBNet_Node::bindAndRegister(TKBNet_Topologic* ATopologic) {
    // Registration is the last step and links only when it succeeds, so a refused node
    // leaves nothing behind (a copied BindTo is replaced here, never linked).
    if (!ATopologic)
        throw EYGeneral("\nErr: No topologic given to the KBNet node constructor !!!\n");
    ATopologic->AddKbnComponentToKbnTopologic(this, krk_Constructed);
    m_bindTo = ATopologic;
    m_nodeFlags |= kFlagBindTo;
}

void TKBNet_Node::pw_KbnSegId(std::uint8_t AKbnSegId) {
    if (AKbnSegId > kKbnMaxSegId)
        throw EYGeneral("Invalid value, the range must be 0x00~0x80 !!!");
    m_kbnSegId = AKbnSegId;
    m_nodeFlags |= kFlagKbnSegId;
}

void TKBNet_Node::pw_KbnNodeId(std::uint8_t AKbnNodeId) {
    if (AKbnNodeId > kKbnMaxNodeId)
        throw EYGeneral("Invalid value, the range must be 0x00~0x7F !!!");
    m_kbnNodeId = AKbnNodeId;
    m_nodeFlags |= kFlagKbnNodeId;
}

void TKBNet_Node::pw_BindTo(TKBNet_Topologic* ABindTo) {
    m_bindTo = ABindTo;
    m_nodeFlags |= kFlagBindTo;
    if (ABindTo)
        ABindTo->linkNode(this);
}

void TKBNet_Node::Loaded() {
    TKBNet::Loaded();
    // A null BindTo counts as assigned but has nowhere to register.
    if (m_nodeFlags == (kFlagBindTo | kFlagKbnSegId | kFlagKbnNodeId) && m_bindTo)
        m_bindTo->AddKbnComponentToKbnTopologic(this, krk_FormLoaded);
}

void TKBNet_Node::SendKbnPacket(const _SKBNTXDPACKET& ATxdPacket) {
    if (m_bindTo)
        m_bindTo->SendKbnPacket(ATxdPacket);
}

void TKBNet_Node::sendCommand(std::uint8_t command) {
    _SKBNTXDPACKET packet;
    packet.KbnSegId = m_kbnSegId;
    packet.KbnNodeId = m_kbnNodeId;
    packet.BytesOfDatas = 1;
    packet.Datas[0] = command;
    SendKbnPacket(packet);
}

void TKBNet_Node::RequestToReset() {
    BeforeRunRequestToReset();
    sendCommand(kcmd_RequestToReset);
}

void TKBNet_Node::QueryKbnProtocolVersion() {
    sendCommand(kcmd_QueryProtocolVersion);
}
void TKBNet_Node::QueryKbnClsId() {
    sendCommand(kcmd_QueryClsId);
}
void TKBNet_Node::QueryKbnCustomerId() {
    sendCommand(kcmd_QueryCustomerId);
}

void TKBNet_Node::linkTopologic(TKBNet_Topologic* ATopologic) {
    if (std::find(m_linkedTopologics.begin(), m_linkedTopologics.end(), ATopologic) ==
        m_linkedTopologics.end())
        m_linkedTopologics.push_back(ATopologic);
}

void TKBNet_Node::topologicDestroyed(TKBNet_Topologic* ATopologic) {
    std::erase(m_linkedTopologics, ATopologic);
    if (m_bindTo == ATopologic)
        m_bindTo = nullptr;
}

} // namespace ZebCtrl
