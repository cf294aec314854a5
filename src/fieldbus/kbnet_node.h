#pragma once
// TKBNet_Node: a KBNet component that stands for one device on the bus. It is bound to a
// topology (BindTo), through which it sends its requests and in which it is registered at
// its address.
//
// Registration: a node built with a topology registers at once (kind 2). A node that a form
// would hold registers in Loaded, and only when BindTo, KbnSegId and KbnNodeId were all
// assigned (kind 1). Without a form loader, YVclCtrl::AssembleComponent plays its part:
//
//     auto* module = new TPrm4i4o(form);
//     YVclCtrl::AssembleComponent(module, [&](TPrm4i4o& m) {
//         m.pw_KbnSegId(0x80);
//         m.pw_KbnNodeId(0x05);
//         m.pw_BindTo(net);
//     }); // Loaded has run: the module is in net's table, or EYGeneral was raised
//
// Lifetime: the node and the topologies it is bound to or registered in know of each other.
// A node destroyed first leaves their address tables; a topology destroyed first unbinds the
// node (BindTo becomes null, so the node sends nothing). Main loop's thread only.

#include "fieldbus/kbnet.h"

#include <cstdint>
#include <vector>

namespace ZebCtrl {

class TKBNet_Topologic;

class TKBNet_Node : public TKBNet {
public:
    // Flag bits: which of the three registration properties were assigned.
    static constexpr std::uint32_t kFlagBindTo = 0x1;
    static constexpr std::uint32_t kFlagKbnSegId = 0x2;
    static constexpr std::uint32_t kFlagKbnNodeId = 0x4;

    explicit TKBNet_Node(YVclCtrl::TComponent* AOwner);
    TKBNet_Node(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                std::uint8_t AKbnNodeId);
    // Copies the template's KBNet fields; from a node template also its flags and BindTo.
    TKBNet_Node(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                std::uint8_t AKbnNodeId, const TKBNet* ATemplate);
    // These two bind to ATopologic and register there with kind 2; a registration refused
    // (address out of range, address taken) raises EYGeneral and nothing is built.
    TKBNet_Node(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                std::uint8_t AKbnNodeId, TKBNet_Topologic* ATopologic);
    TKBNet_Node(YVclCtrl::TComponent* AOwner, _EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                std::uint8_t AKbnNodeId, const TKBNet* ATemplate, TKBNet_Topologic* ATopologic);
    ~TKBNet_Node() override;

    // Above 0x80 / 0x7F: EYGeneral, the stored value stays.
    void pw_KbnSegId(std::uint8_t AKbnSegId) override;
    void pw_KbnNodeId(std::uint8_t AKbnNodeId) override;

    TKBNet_Topologic* pr_BindTo() const { return m_bindTo; }
    virtual void pw_BindTo(TKBNet_Topologic* ABindTo);
    std::uint32_t pr_KbnNodeFlags() const { return m_nodeFlags; }

    void Loaded() override;

    // Passes the record to BindTo's SendKbnPacket; without BindTo nothing is sent. Errors of
    // the sender pass to the caller.
    virtual void SendKbnPacket(const _SKBNTXDPACKET& ATxdPacket);

    // Requests {seg, node, 1, command}.
    void RequestToReset();
    void QueryKbnProtocolVersion();
    void QueryKbnClsId();
    void QueryKbnCustomerId();

protected:
    // Runs before the reset request is sent; the device class decides what to forget.
    virtual void BeforeRunRequestToReset() = 0;

private:
    friend class TKBNet_Topologic;

    void sendCommand(std::uint8_t command);
    // Copies flags and BindTo without linking; the constructors link.
    void copyNodeFields(const TKBNet* ATemplate);
    void bindAndRegister(TKBNet_Topologic* ATopologic);
    // Link bookkeeping, driven by TKBNet_Topologic.
    void linkTopologic(TKBNet_Topologic* ATopologic);
    void topologicDestroyed(TKBNet_Topologic* ATopologic);

    TKBNet_Topologic* m_bindTo = nullptr;
    std::uint32_t m_nodeFlags = 0;
    std::vector<TKBNet_Topologic*> m_linkedTopologics;
};

} // namespace ZebCtrl
