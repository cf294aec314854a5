#include "fake_kbn_adapter.h"
#include "support/temp_dir.h"

#include "fieldbus/kbnet_messages.h"
#include "fieldbus/prm4i4o.h"
#include "util/eygeneral.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace ZebCtrl;
using Lift::Test::FakeKbnAdapter;
using Lift::Test::KbnEventSeen;
using Lift::Test::RecordInto;
using Lift::Test::RxdPacket;
using Lift::Test::TempDir;
using YVclUtil::EYGeneral;

namespace {

const char* const kHead = "[KbnTopologic.Head]\r\nSignature=ZEB\r\n\r\n";

class Impostor : public TKBNet_Node {
public:
    using TKBNet_Node::TKBNet_Node;

protected:
    void BeforeRunRequestToReset() override {}
};

class TopologyFileTest : public ::testing::Test {
protected:
    TopologyFileTest() {
        net.SetName("KbnNet1");
        path = dir.file("topology.ini");
        net.pw_FileName(path);
    }

    void writeFile(const std::string& text) { Lift::Test::WriteBytes(path, text); }
    // A valid head and segment 0x80 with the given lines.
    void writeSegment80(const std::string& lines) {
        writeFile(std::string(kHead) + "[NetSegmentId_0x80]\n" + lines);
    }
    static std::string nodeLine(const char* key, const char* device, const char* id) {
        return std::string(key) + "=Device( \"" + device + "\" ) , NetNodeId( " + id + " )\n";
    }

    // Runs the check; the message it raised, or empty when it passed.
    std::string check() { return checkOn(net); }
    static std::string checkOn(FakeKbnAdapter& bus) {
        try {
            bus.LoadAndChkTopologicIniAndAssignDefaultKbnComponentToKbnTopologic();
        } catch (const EYGeneral& e) {
            return e.Message();
        }
        return {};
    }

    std::string lineError(const std::string& what, const std::string& section,
                          const std::string& key, const std::string& extra = {}) {
        return "\nErr: " + what + " in the topologic ini file !!!\nComponentName = KbnNet1\n" +
               "FileName = " + path + "\nIniSection = " + section + "\nIniKey = " + key + "\n" +
               extra;
    }
    std::string headerError() const {
        return "\nErr: Invalid header in the topologic ini file !!!\nComponentName = KbnNet1\n"
               "FileName = " +
               path + "\n";
    }
    std::string addressError(const char* big5, const char* seg, const char* node) {
        return std::string("\nErr: ") + big5 + "\nComponentName = KbnNet1\nFileName = " + path +
               "\nKbnSegId = 0x" + seg + "\nKbnNodeId = 0x" + node + "\n";
    }

    std::uint32_t flagsAt(std::uint8_t seg, std::uint8_t node) const {
        const TopologyEntry* e = net.pr_TopologyEntry(seg, node);
        return e ? e->Flags : 0xDEADu;
    }

    TempDir dir;
    std::string path;
    FakeKbnAdapter net{nullptr};
    TPrm4i4o defHandler{nullptr};
};

} // namespace

// The signature's value is compared ignoring case, its key is not; a section with only empty
// values does not exist for the INI engine.
TEST_F(TopologyFileTest, HeaderNeedsTheSignatureAndSegment0x80) {
    const std::string seg80 = "[NetSegmentId_0x80]\nA=1\n";
    for (const std::string& text :
         {"[KbnTopologic.Head]\nSignature=ZEBX\n" + seg80,
          "[KbnTopologic.Head]\nsignature=ZEB\n" + seg80,
          kHead + std::string("[NetSegmentId_0x01]\n") + nodeLine("Travel_000", "PRM_4i4o", "0x01"),
          kHead + std::string("[NetSegmentId_0x80]\nTravel_000=\n")}) {
        writeFile(text);
        EXPECT_EQ(check(), headerError()) << text;
    }
    EXPECT_EQ(net.ComponentCount(), 0);
    writeSegment80(nodeLine("Travel_000", "PRM_4i4o", "0xFF"));
    EXPECT_EQ(check(), "");
    writeFile("[KbnTopologic.Head]\nSignature=zeb\n" + seg80);
    EXPECT_EQ(check(), "");
}

TEST_F(TopologyFileTest, DeclaredAddressesGetDefaultModulesAcrossIndexGaps) {
    net.pw_DefHandler_Prm4i4o(&defHandler);
    std::vector<KbnEventSeen> inputs;
    defHandler.OnInputChanged = RecordInto(inputs);
    writeFile(std::string(kHead) + "[NetSegmentId_0x80]\n"
                                   "Travel_000 = Device( \"PRM_4i4o\" ) , NetNodeId( 0x05 )\n"
                                   "Travel_002 = Device(\"PRM_4i4o\"),NetNodeId(0x06)\n"
                                   "Travel_256 = Device( \"PRM_4i4o\" ) , NetNodeId( 0x07 )\n"
                                   "Travel_257 = Device( \"PRM_4i4o\" ) , NetNodeId( 0x08 )\n"
                                   "Travel_1 = Device( \"PRM_4i4o\" ) , NetNodeId( 0x09 )\n"
                                   "[NetSegmentId_0x0A]\n"
                                   "Travel_010 = Device( \"PRM_4i4o\" ) , NetNodeId( 0x7F )\n"
                                   "[NetSegmentId_0x0a]\n"
                                   "Travel_000 = Device( \"Nobody\" ) , NetNodeId( 0x01 )\n");
    ASSERT_EQ(check(), "");

    const std::uint32_t created = krk_CreatedByTopologic | kKbnDeclaredByIni;
    for (auto [seg, node] : {std::pair{0x80, 0x05}, {0x80, 0x06}, {0x80, 0x07}, {0x0A, 0x7F}}) {
        SCOPED_TRACE(node);
        EXPECT_EQ(flagsAt(seg, node), created);
        TPrm4i4o* module = net.Prm4i4o(seg, node);
        EXPECT_EQ(module->pr_KbnSegId(), seg);
        EXPECT_EQ(module->pr_KbnNodeId(), node);
        EXPECT_EQ(module->pr_BindTo(), &net);
    }
    // Index 257 and a key without three digits are no node keys.
    EXPECT_EQ(net.pr_TopologyEntry(0x80, 0x08)->Component, nullptr);
    EXPECT_EQ(net.pr_TopologyEntry(0x80, 0x09)->Component, nullptr);
    EXPECT_EQ(net.ComponentCount(), 4);

    // The defaults inherit the template's handlers.
    net.FilteringReceivedKbnPacket(RxdPacket({0x0A, 0x7F, 2, 0x81, 0x01}));
    EXPECT_EQ(inputs, (std::vector<KbnEventSeen>{{net.Prm4i4o(0x0A, 0x7F), 0x0A, 0x7F}}));
}

TEST_F(TopologyFileTest, BadSyntaxNamesSectionAndKey) {
    net.pw_DefHandler_Prm4i4o(&defHandler);
    writeSegment80(nodeLine("Travel_000", "PRM_4i4o", "0x05") +
                   "Travel_001=Device( PRM_4i4o ) , NetNodeId( 0x06 )\n");
    EXPECT_EQ(check(), lineError("Invalid syntax", "NetSegmentId_0x80", "Travel_001"));
    // The check stops there; what it created before stays registered.
    EXPECT_EQ(flagsAt(0x80, 0x05), krk_CreatedByTopologic | kKbnDeclaredByIni);
    EXPECT_EQ(net.ComponentCount(), 1);
}

TEST_F(TopologyFileTest, AddressesOutsideTheSegmentAreRefused) {
    net.pw_DefHandler_Prm4i4o(&defHandler);
    const std::string extra = "NetNodeId must be 0x00~0x7F, or 0xFF for none\n";
    for (const char* id : {"0x80", "0xFE", "0x1FF", "0x1000000FF", "0x-1"}) {
        SCOPED_TRACE(id);
        writeSegment80(nodeLine("Travel_003", "PRM_4i4o", id));
        EXPECT_EQ(check(),
                  lineError("Invalid NetNodeId()", "NetSegmentId_0x80", "Travel_003", extra));
    }
    EXPECT_EQ(net.ComponentCount(), 0);
}

TEST_F(TopologyFileTest, WhatIsAtADeclaredAddressMustMatchTheDeclaration) {
    enum Occupant { Nothing, DefaultHandlerOnly, Module, OtherClass };
    struct Case {
        Occupant at;
        const char *key, *device, *id;
        std::string expected;
    };
    const std::string section = "NetSegmentId_0x80";
    const Case cases[] = {
        {DefaultHandlerOnly, "Travel_004", "PRM_4I4O", "0x05", // the device name is exact
         lineError("Unknown Device()", section, "Travel_004", "Device = PRM_4I4O\n")},
        {Module, "Travel_000", "PRM_8i8o", "0x05",
         lineError("Unknown Device()", section, "Travel_000", "Device = PRM_8i8o\n")},
        {Module, "Travel_000", "PRM_4i4o", "0xFF",
         addressError(kKbnBig5_PresentButUndeclared, "80", "05")},
        {OtherClass, "Travel_000", "PRM_4i4o", "0x05",
         "\nErr: Current Topologic is not conform to topologic ini file !!!\n"
         "ComponentName = KbnNet1\nFileName = " +
             path + "\nIniSection = NetSegmentId_0x80\nIniKey = Travel_000\nDevice = PRM_4i4o\n"},
        {Nothing, "Travel_000", "PRM_4i4o", "0x05",
         addressError(kKbnBig5_DeclaredButMissing, "80", "05")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.device) + " " + c.id);
        FakeKbnAdapter bus(nullptr);
        bus.SetName("KbnNet1");
        bus.pw_FileName(path);
        if (c.at == DefaultHandlerOnly)
            bus.pw_DefHandler_Prm4i4o(&defHandler);
        std::unique_ptr<TKBNet_Node> occupant;
        if (c.at == Module)
            occupant = std::make_unique<TPrm4i4o>(nullptr, kci_Prm4i4o, 0x80, 0x05, &bus);
        if (c.at == OtherClass)
            occupant = std::make_unique<Impostor>(nullptr, static_cast<_EKbnClsId>(0x20), 0x80,
                                                  0x05, &bus);
        writeSegment80(nodeLine(c.key, c.device, c.id));
        EXPECT_EQ(checkOn(bus), c.expected);
        EXPECT_EQ(bus.ComponentCount(), 0) << "no default was made";
    }
}

