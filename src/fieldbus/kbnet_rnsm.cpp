#include "fieldbus/kbnet_rnsm.h"

#include "fieldbus/prm4i4o.h"
#include "util/eygeneral.h"

namespace ZebCtrl {

using YVclUtil::EYGeneral;

TKBNet_Rnsm::TKBNet_Rnsm(YVclCtrl::TComponent* AOwner) : TKBNet_Topologic(AOwner) {}

void TKBNet_Rnsm::pw_KbnSegId(std::uint8_t /*AKbnSegId*/) {}
void TKBNet_Rnsm::pw_KbnNodeId(std::uint8_t /*AKbnNodeId*/) {}

void TKBNet_Rnsm::pw_DefHandler_Prm4i4o(TPrm4i4o* ADefHandler) {
    m_defHandlerPrm4i4o = ADefHandler;
    if (ADefHandler)
        linkNode(ADefHandler);
}

void TKBNet_Rnsm::nodeDestroyed(TKBNet_Node* ANode) {
    TKBNet_Topologic::nodeDestroyed(ANode);
    if (ANode == m_defHandlerPrm4i4o)
        m_defHandlerPrm4i4o = nullptr;
}

void TKBNet_Rnsm::FilteringReceivedKbnPacket(const TKbnRxdPacket& ARxdPacket) {
    if (ARxdPacket.KbnSegId > kKbnMaxSegId || ARxdPacket.KbnNodeId > kKbnMaxNodeId)
        return;
    const TopologyEntry* entry = findEntry(ARxdPacket.KbnSegId, ARxdPacket.KbnNodeId);
    if (entry && entry->ClsId != 0 && entry->Component) {
        entry->Component->FilteringReceivedKbnPacket(ARxdPacket);
        return;
    }
    TKBNet::FilteringReceivedKbnPacket(ARxdPacket);
}

TKBNet_Node* TKBNet_Rnsm::CreateDefaultKbnComponentAndAddToKbnTopologic(
    _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId, std::uint8_t AKbnNodeId,
    TKBNet_Topologic* ATopologic) {
    if (AKbnClsId != kci_Prm4i4o || !m_defHandlerPrm4i4o || !ATopologic)
        return nullptr;
    // Owned by the topology as a component too, so even a module the table lost track of
    // is destroyed with it.
    return new TPrm4i4o(ATopologic, kci_Prm4i4o, AKbnSegId, AKbnNodeId, m_defHandlerPrm4i4o,
                        ATopologic);
}

TPrm4i4o* TKBNet_Rnsm::Prm4i4o(std::uint8_t AKbnSegId, std::uint8_t AKbnNodeId) {
    const TopologyEntry* entry = findEntry(AKbnSegId, AKbnNodeId);
    if (!entry)
        throw EYGeneral("\nThe address of node is not belong to the topologic of KBNet !!!\n");
    // The class id alone does not prove the type: any node may claim class 0x80.
    auto* module =
        entry->ClsId == kci_Prm4i4o ? dynamic_cast<TPrm4i4o*>(entry->Component) : nullptr;
    if (!module)
        throw EYGeneral("\nThe address of node is not a TPrm4i4o component !!!\n");
    return module;
}

} // namespace ZebCtrl
