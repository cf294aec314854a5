// Arbitrary bytes as a KBNet topology file: the check must end normally or with EYGeneral,
// never crash, hang or touch the file, and whatever it leaves in the table must hold up.

#include "fieldbus/kbnet_messages.h"
#include "fieldbus/kbnet_rnsm.h"
#include "fieldbus/prm4i4o.h"
#include "util/eygeneral.h"
#include "util/standalone_function.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

class NullAdapter : public ZebCtrl::TKBNet_Rnsm {
public:
    using ZebCtrl::TKBNet_Rnsm::TKBNet_Rnsm;
    void SendKbnPacket(const ZebCtrl::_SKBNTXDPACKET&) override {}
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string& scratchPath() {
    static const std::string path = [] {
        YVclUtil::SetErrorBoxSink([](const std::string&, const std::string&) {});
        return "kbnet_topology_" + std::to_string(getpid()) + ".ini";
    }();
    return path;
}

void runCheck(NullAdapter& net) {
    try {
        net.LoadAndChkTopologicIniAndAssignDefaultKbnComponentToKbnTopologic();
    } catch (const YVclUtil::EYGeneral& e) {
        (void)ZebCtrl::KbnTextForDisplay(e.Message());
        return;
    }
    // Passed: every component in the table was declared, and every default sits where the
    // table says.
    for (int seg = 0; seg <= ZebCtrl::kKbnMaxSegId; ++seg) {
        const auto s = static_cast<std::uint8_t>(seg);
        if (!net.pr_TopologyEntry(s, 0))
            continue; // no table for this segment
        for (int node = 0; node <= ZebCtrl::kKbnMaxNodeId; ++node) {
            const ZebCtrl::TopologyEntry* e =
                net.pr_TopologyEntry(s, static_cast<std::uint8_t>(node));
            if (!e->Component)
                continue;
            if (!(e->Flags & ZebCtrl::kKbnDeclaredByIni) || e->Component->pr_KbnSegId() != seg ||
                e->Component->pr_KbnNodeId() != node)
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = scratchPath();
    const std::string text(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    {
        NullAdapter net(nullptr);
        net.SetName("Fuzz");
        net.pw_FileName(path);
        ZebCtrl::TPrm4i4o tmpl(nullptr);
        ZebCtrl::TPrm4i4o own(nullptr, ZebCtrl::kci_Prm4i4o, 0x80, 0x05, &net);
        // Without a template, then with one: "no handler" and "created" both happen, and the
        // second run re-marks what the first left.
        runCheck(net);
        net.pw_DefHandler_Prm4i4o(&tmpl);
        runCheck(net);
    }
    if (readFile(path) != text)
        std::abort(); // the check must never rewrite the user's file
    std::remove(path.c_str());
    return 0;
}
