#pragma once
// TKBNet_Topologic: the address table of a KBNet bus (which node component sits at which
// segment and node address) and the check of that table against a topology file.
//
// Segments 0x00..0x80 each get a table of 128 entries (nodes 0x00..0x7F) on first use.
// Components it creates itself (registration kind 4) it owns and destroys; all other
// registered or bound nodes belong to their creators and are only unlinked when the
// topology goes first (see kbnet_node.h). Sending is the subclass's business:
// SendKbnPacket is what every bound node calls, and what a test fake implements.
// Main loop's thread only; errors raise YVclUtil::EYGeneral.

#include "fieldbus/kbnet.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ZebCtrl {

class TKBNet_Node;

// How a component came into the table (entry flag bits 0..2).
enum TKbnRegKind : std::uint32_t {
    krk_FormLoaded = 1,         // a node placed in a form, registered once the form is loaded
    krk_Constructed = 2,        // a node constructed with a topology
    krk_CreatedByTopologic = 4, // a default component; the topology owns and destroys it
};
inline constexpr std::uint32_t kKbnRegKindMask = 0x7;
// Entry flag bit 31: the topology file declares this address (set by the last check).
inline constexpr std::uint32_t kKbnDeclaredByIni = 0x80000000u;

struct TopologyEntry {
    std::uint32_t ClsId = 0; // 0: free address
    TKBNet_Node* Component = nullptr;
    std::uint32_t Flags = 0;
};

class TKBNet_Topologic : public TKBNet {
public:
    static constexpr int kSegmentCount = kKbnMaxSegId + 1;
    static constexpr int kNodeCount = kKbnMaxNodeId + 1;

    explicit TKBNet_Topologic(YVclCtrl::TComponent* AOwner);
    ~TKBNet_Topologic() override;

    const std::string& pr_FileName() const { return m_fileName; }
    void pw_FileName(std::string AFileName) { m_fileName = std::move(AFileName); }

    // Reads the topology file (FileName) and checks the table against it: every declared
    // address must hold a component of the declared device class, or get a default one
    // (CreateDefaultKbnComponentAndAddToKbnTopologic); every registered component must be
    // declared. Stops at the first violation with EYGeneral naming the file, section, key
    // or address; defaults created before it stay. The file is only read, never written.
    void LoadAndChkTopologicIniAndAssignDefaultKbnComponentToKbnTopologic();

    // Enters AComponent at its own KbnSegId/KbnNodeId with the given kind (flag bits 0..2;
    // bit 31 kept). Raises when the address is outside the bus, when the table cannot be
    // allocated, or when another component holds the address.
    void AddKbnComponentToKbnTopologic(TKBNet_Node* AComponent, std::uint32_t ARegKind);

    // Sends one packet on the bus.
    virtual void SendKbnPacket(const _SKBNTXDPACKET& ATxdPacket) = 0;

    // Builds a default component of the class at the address, registered in ATopologic, or
    // returns null when there is none for that class. This base has none.
    virtual TKBNet_Node*
    CreateDefaultKbnComponentAndAddToKbnTopologic(_EKbnClsId AKbnClsId, std::uint8_t AKbnSegId,
                                                  std::uint8_t AKbnNodeId,
                                                  TKBNet_Topologic* ATopologic);

    // Destroys the components this topology created, clears their entries and releases every
    // segment table. Runs at destruction; may run earlier.
    void FreeKbnTopologic();

    // The entry at an address, or null when the segment has no table yet or the address is
    // outside the bus.
    const TopologyEntry* pr_TopologyEntry(std::uint8_t AKbnSegId, std::uint8_t AKbnNodeId) const;

protected:
    using SegmentTableType = std::array<TopologyEntry, kNodeCount>;

    // The entry at a valid address, allocating the segment's table when absent.
    TopologyEntry& allocateEntry(std::uint8_t AKbnSegId, std::uint8_t AKbnNodeId);
    TopologyEntry* findEntry(std::uint8_t AKbnSegId, std::uint8_t AKbnNodeId);

    // Keeps ANode informed of this topology's end and this topology of ANode's.
    void linkNode(TKBNet_Node* ANode);
    // ANode is being destroyed: forget every reference to it. Overrides call the base.
    virtual void nodeDestroyed(TKBNet_Node* ANode);

    std::array<std::unique_ptr<SegmentTableType>, kSegmentCount> m_segmentTable;

private:
    friend class TKBNet_Node;

    // One declared node of the file at a valid address.
    void checkDeclaredNode(const char* componentName, const char* fileName,
                           const std::string& section, const std::string& key,
                           const std::string& device, std::uint8_t seg, std::uint8_t node);

    std::string m_fileName;
    std::vector<TKBNet_Node*> m_linkedNodes;
};

} // namespace ZebCtrl
