#include "fieldbus/kbnet_topologic.h"

#include "fieldbus/kbnet_messages.h"
#include "fieldbus/kbnet_node.h"
#include "fieldbus/kbnet_topology_value.h"
#include "util/eygeneral.h"
#include "util/standalone_function.h"
#include "util/ty_ini_file.h"

#include <array>
#include <filesystem>
#include <string>

namespace ZebCtrl {

using YVclUtil::EYGeneral;
using YVclUtil::Format;

namespace {
constexpr char kHeadSection[] = "KbnTopologic.Head";
constexpr char kSignatureKey[] = "Signature";
constexpr char kSignature[] = "ZEB";
constexpr char kRequiredSection[] = "NetSegmentId_0x80";
constexpr char kDeviceNamePrm4i4o[] = "PRM_4i4o";
constexpr int kLastTravelIndex = 256;
// A line that declares no node.
constexpr std::uint32_t kNoNode = 0xFF;

// The names the check looks up, made once: "NetSegmentId_0x00".."NetSegmentId_0x80" and
// "Travel_000".."Travel_256".
const std::string& segmentSectionName(int seg) {
    static const auto names = [] {
        std::array<std::string, kKbnMaxSegId + 1> n;
        for (int i = 0; i < static_cast<int>(n.size()); ++i)
            n[i] = Format("NetSegmentId_0x%02X", i);
        return n;
    }();
    return names[seg];
}

const std::string& travelKeyName(int index) {
    static const auto names = [] {
        std::array<std::string, kLastTravelIndex + 1> n;
        for (int i = 0; i < static_cast<int>(n.size()); ++i)
            n[i] = Format("Travel_%03d", i);
        return n;
    }();
    return names[index];
}
} // namespace

void TKBNet_Topologic::LoadAndChkTopologicIniAndAssignDefaultKbnComponentToKbnTopologic() {
    // Copies: a default component's construction may run code that renames us.
    const std::string nameCopy = Name();
    const std::string fileNameCopy = m_fileName;
    const char* componentName = nameCopy.c_str();
    const char* fileName = fileNameCopy.c_str();
    if (fileNameCopy.empty())
        throw EYGeneral("\nErr: The FileName property is not defined !!!\nComponentName = %s\n",
                        componentName);
    // Checked first because the INI engine would create a missing file.
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileNameCopy, error))
        throw EYGeneral("\nErr: The topologic ini file is not exist !!!\nComponentName = "
                        "%s\nFileName = %s\n",
                        componentName, fileName);

    for (auto& table : m_segmentTable) {
        if (table)
            for (TopologyEntry& entry : *table)
                entry.Flags &= ~kKbnDeclaredByIni;
    }

    {
        // Only read: the engine rewrites nothing, so the file stays as the user wrote it.
        YVclUtil::TYIniFile ini(fileNameCopy);
        if (ini.StrICmp(kHeadSection, kSignatureKey, kSignature) != 0 ||
            !ini.SectionExists(kRequiredSection))
            throw EYGeneral("\nErr: Invalid header in the topologic ini file !!!\nComponentName "
                            "= %s\nFileName = %s\n",
                            componentName, fileName);

        for (int seg = 0; seg <= kKbnMaxSegId; ++seg) {
            const std::string& section = segmentSectionName(seg);
            if (!ini.SectionExists(section))
                continue;
            for (int index = 0; index <= kLastTravelIndex; ++index) {
                const std::string& key = travelKeyName(index);
                const std::string value = ini.ReadString(section, key, "");
                if (value.empty())
                    continue;
                const auto node = Lift::Fieldbus::ParseKbnTopologyNodeValue(value);
                if (!node)
                    throw EYGeneral("\nErr: Invalid syntax in the topologic ini file !!!\n"
                                    "ComponentName = %s\nFileName = %s\nIniSection = %s\n"
                                    "IniKey = %s\n",
                                    componentName, fileName, section.c_str(), key.c_str());
                if (!node->NodeIdTooLarge && node->NodeId == kNoNode)
                    continue;
                // The table has 128 nodes; anything else would address no entry.
                if (node->NodeIdTooLarge || node->NodeId > kKbnMaxNodeId)
                    throw EYGeneral("\nErr: Invalid NetNodeId() in the topologic ini file !!!\n"
                                    "ComponentName = %s\nFileName = %s\nIniSection = %s\n"
                                    "IniKey = %s\nNetNodeId must be 0x00~0x7F, or 0xFF for "
                                    "none\n",
                                    componentName, fileName, section.c_str(), key.c_str());
                checkDeclaredNode(componentName, fileName, section, key, std::string(node->Device),
                                  static_cast<std::uint8_t>(seg),
                                  static_cast<std::uint8_t>(node->NodeId));
            }
        }
    }

    for (int seg = 0; seg <= kKbnMaxSegId; ++seg) {
        const SegmentTableType* table = m_segmentTable[seg].get();
        if (!table)
            continue;
        for (int node = 0; node <= kKbnMaxNodeId; ++node) {
            const TopologyEntry& entry = (*table)[node];
            if (entry.Component && !(entry.Flags & kKbnDeclaredByIni))
                throw EYGeneral("\nErr: %s\nComponentName = %s\nFileName = %s\nKbnSegId = "
                                "0x%02X\nKbnNodeId = 0x%02X\n",
                                kKbnBig5_PresentButUndeclared, componentName, fileName, seg, node);
        }
    }
}

void TKBNet_Topologic::checkDeclaredNode(const char* componentName, const char* fileName,
                                         const std::string& section, const std::string& key,
                                         const std::string& device, std::uint8_t seg,
                                         std::uint8_t node) {
    TopologyEntry& entry = allocateEntry(seg, node);
    if (device != kDeviceNamePrm4i4o)
        throw EYGeneral("\nErr: Unknown Device() in the topologic ini file !!!\nComponentName = "
                        "%s\nFileName = %s\nIniSection = %s\nIniKey = %s\nDevice = %s\n",
                        componentName, fileName, section.c_str(), key.c_str(), device.c_str());
    const _EKbnClsId clsId = kci_Prm4i4o;

    if (entry.Component) {
        if (entry.ClsId != clsId)
            throw EYGeneral("\nErr: Current Topologic is not conform to topologic ini file !!!\n"
                            "ComponentName = %s\nFileName = %s\nIniSection = %s\nIniKey = "
                            "%s\nDevice = %s\n",
                            componentName, fileName, section.c_str(), key.c_str(), device.c_str());
        entry.Flags |= kKbnDeclaredByIni;
        return;
    }

    TKBNet_Node* created = CreateDefaultKbnComponentAndAddToKbnTopologic(clsId, seg, node, this);
    if (!created)
        throw EYGeneral("\nErr: %s\nComponentName = %s\nFileName = %s\nKbnSegId = 0x%02X\n"
                        "KbnNodeId = 0x%02X\n",
                        kKbnBig5_DeclaredButMissing, componentName, fileName, seg, node);
    // Only an entry that really holds the new component may be marked as ours to destroy.
    TopologyEntry* holder = findEntry(seg, node);
    if (!holder || holder->Component != created)
        throw EYGeneral("\nErr: CreateDefaultKbnComponentAndAddToKbnTopologic() !!!\n");
    holder->Flags = (holder->Flags & ~kKbnRegKindMask) | krk_CreatedByTopologic | kKbnDeclaredByIni;
}

} // namespace ZebCtrl
