#pragma once
// TKBNet_Rnsm: the network manager. Hands each received packet to the node registered at
// its address; packets that no node takes raise the manager's own events, published here
// as OnUnhandled... (the same six fields of its TKBNet part). Creates default modules for
// declared addresses from the DefHandler_Prm4i4o template.
//
// Still abstract: the adapter that reaches the bus implements SendKbnPacket. The manager's
// address is fixed (segment 0x80, node 0): its setters ignore every value.
// Main loop's thread only; errors raise YVclUtil::EYGeneral.

#include "fieldbus/kbnet_topologic.h"

#include <cstdint>

namespace ZebCtrl {

class TPrm4i4o;

class TKBNet_Rnsm : public TKBNet_Topologic {
public:
    explicit TKBNet_Rnsm(YVclCtrl::TComponent* AOwner);

    void pw_KbnSegId(std::uint8_t AKbnSegId) override;
    void pw_KbnNodeId(std::uint8_t AKbnNodeId) override;

    // Template of the default modules; not owned. Cleared when that module is destroyed.
    TPrm4i4o* pr_DefHandler_Prm4i4o() const { return m_defHandlerPrm4i4o; }
    void pw_DefHandler_Prm4i4o(TPrm4i4o* ADefHandler);

    // Routes the packet to its node, or raises the OnUnhandled... events; packets for
    // addresses outside the bus are dropped.
    void FilteringReceivedKbnPacket(const TKbnRxdPacket& ARxdPacket) override;

    // For class 0x80 with a template set: a copy of the template at the address, owned by
    // and registered in ATopologic. Otherwise null.
    TKBNet_Node*
    CreateDefaultKbnComponentAndAddToKbnTopologic(_EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                                                  std::uint8_t AKbnNodeId,
                                                  TKBNet_Topologic* ATopologic) override;

    // The module registered at the address. Raises when the address is outside the bus or
    // its segment has no table, and when the entry is not a TPrm4i4o (a free one included).
    TPrm4i4o* Prm4i4o(std::uint8_t AKbnSegId, std::uint8_t AKbnNodeId);

    TKbnNodeEvent& OnUnhandledPacketUnreachable = OnPacketUnreachable;
    TKbnNodeEvent& OnUnhandledSuccessfulReset = OnSuccessfulReset;
    TKbnNodeEvent& OnUnhandledGotKbnProtocolVersion = OnGotKbnProtocolVersion;
    TKbnNodeEvent& OnUnhandledGotKbnClsId = OnGotKbnClsId;
    TKbnNodeEvent& OnUnhandledGotKbnCustomerId = OnGotKbnCustomerId;
    TKbnRxdPacketEvent& OnUnhandledRxdKbnPacket = OnUnfilteredRxdKbnPacket;

protected:
    void nodeDestroyed(TKBNet_Node* ANode) override;

private:
    TPrm4i4o* m_defHandlerPrm4i4o = nullptr;
};

} // namespace ZebCtrl
