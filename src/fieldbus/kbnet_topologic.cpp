#include "fieldbus/kbnet_topologic.h"

#include "fieldbus/kbnet_node.h"
#include "util/eygeneral.h"

#include <algorithm>
#include <new>

namespace ZebCtrl {

using YVclUtil::EYGeneral;

TKBNet_Topologic::TKBNet_Topologic(YVclCtrl::TComponent* AOwner) : TKBNet(AOwner) {}

TKBNet_Topologic::~TKBNet_Topologic() {
    FreeKbnTopologic();
    // Nodes that outlive us must not send through or deregister from a dead topology.
    for (TKBNet_Node* node : m_linkedNodes)
        node->topologicDestroyed(this);
    m_linkedNodes.clear();
}

TopologyEntry* TKBNet_Topologic::findEntry(std::uint8_t AKbnSegId, std::uint8_t AKbnNodeId) {
    if (AKbnSegId > kKbnMaxSegId || AKbnNodeId > kKbnMaxNodeId)
        return nullptr;
    SegmentTableType* table = m_segmentTable[AKbnSegId].get();
    return table ? &(*table)[AKbnNodeId] : nullptr;
}

const TopologyEntry* TKBNet_Topologic::pr_TopologyEntry(std::uint8_t AKbnSegId,
                                                        std::uint8_t AKbnNodeId) const {
    return const_cast<TKBNet_Topologic*>(this)->findEntry(AKbnSegId, AKbnNodeId);
}

TopologyEntry& TKBNet_Topologic::allocateEntry(std::uint8_t AKbnSegId, std::uint8_t AKbnNodeId) {
    std::unique_ptr<SegmentTableType>& table = m_segmentTable[AKbnSegId];
    if (!table) {
        table.reset(new (std::nothrow) SegmentTableType{});
        if (!table)
            throw EYGeneral("\nErr: Can not allocate memory !!!\n");
    }
    return (*table)[AKbnNodeId];
}

void TKBNet_Topologic::AddKbnComponentToKbnTopologic(TKBNet_Node* AComponent,
                                                     std::uint32_t ARegKind) {
    const std::uint8_t seg = AComponent->pr_KbnSegId();
    const std::uint8_t node = AComponent->pr_KbnNodeId();
    if (seg > kKbnMaxSegId || node > kKbnMaxNodeId)
        throw EYGeneral("\nThe address of node is not belong to the topologic of KBNet !!!\n");
    TopologyEntry& entry = allocateEntry(seg, node);
    if (entry.Component && entry.Component != AComponent)
        throw EYGeneral("\nErr: Duplicated KBNet Address !!!\nKbnSegId  = 0x%02X\nKbnNodeId = "
                        "0x%02X\n",
                        seg, node);
    entry.ClsId = AComponent->pr_KbnClsId();
    entry.Component = AComponent;
    entry.Flags = (entry.Flags & ~kKbnRegKindMask) | (ARegKind & kKbnRegKindMask);
    linkNode(AComponent);
}

TKBNet_Node* TKBNet_Topologic::CreateDefaultKbnComponentAndAddToKbnTopologic(
    _EKbnClsId /*AKbnClsId*/, std::uint8_t /*AKbnSegId*/, std::uint8_t /*AKbnNodeId*/,
    TKBNet_Topologic* /*ATopologic*/) {
    return nullptr;
}

void TKBNet_Topologic::FreeKbnTopologic() {
    for (auto& table : m_segmentTable) {
        if (!table)
            continue;
        for (TopologyEntry& entry : *table) {
            if ((entry.Flags & kKbnRegKindMask) != krk_CreatedByTopologic)
                continue;
            TKBNet_Node* created = entry.Component;
            entry = TopologyEntry{};
            delete created; // its destructor unlinks it from us
        }
    }
    for (auto& table : m_segmentTable)
        table.reset();
}

void TKBNet_Topologic::linkNode(TKBNet_Node* ANode) {
    if (std::find(m_linkedNodes.begin(), m_linkedNodes.end(), ANode) == m_linkedNodes.end())
        m_linkedNodes.push_back(ANode);
    ANode->linkTopologic(this);
}

void TKBNet_Topologic::nodeDestroyed(TKBNet_Node* ANode) {
    std::erase(m_linkedNodes, ANode);
    for (auto& table : m_segmentTable) {
        if (!table)
            continue;
        for (TopologyEntry& entry : *table) {
            if (entry.Component == ANode)
                entry = TopologyEntry{};
        }
    }
}

} // namespace ZebCtrl
