// Arbitrary bytes as lines from the KBNet adapter: the parser must never read past a line,
// and what it accepts must hold up; the component fed the same lines must stay sound.

#include "fieldbus/kbnet_line_parser.h"
#include "fieldbus/kbnet_rnsm.h"
#include "fieldbus/prm4i4o.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

class NullAdapter : public ZebCtrl::TKBNet_Rnsm {
public:
    using ZebCtrl::TKBNet_Rnsm::TKBNet_Rnsm;
    void SendKbnPacket(const ZebCtrl::_SKBNTXDPACKET&) override {}
};

void Check(const Lift::Fieldbus::KbnAdapterLine& line, std::string_view text) {
    using Kind = Lift::Fieldbus::KbnAdapterLine::Kind;
    if (line.kind == Kind::RegisterReport) {
        const int i = line.registerIndex;
        if (text.size() < 6 || text[0] != '*' || i == 2 || i < 0 || i > 15 || (i > 9 && i < 14) ||
            line.registerBit != (1u << i))
            std::abort();
    } else if (line.kind == Kind::Packet) {
        // Every accepted packet is whole: its hex fills the line up to the CR/LF.
        const std::size_t digits = 2u * (line.packet.BytesOfDatas + 3u);
        if (line.packet.BytesOfDatas == 0 || line.packet.BytesOfDatas > 17 || text[0] != '@' ||
            text.size() < 1 + digits ||
            (text.size() > 1 + digits && text[1 + digits] != '\r' && text[1 + digits] != '\n'))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Each LF-terminated piece is one delivered line, copied to a buffer of exactly its size
    // so that a read past it is caught.
    NullAdapter net(nullptr);
    ZebCtrl::TPrm4i4o module(nullptr, ZebCtrl::kci_Prm4i4o, 0x80, 0x05, &net);
    const char* text = reinterpret_cast<const char*>(data);
    std::size_t start = 0;
    while (start < size) {
        const void* lf = std::memchr(text + start, '\n', size - start);
        const std::size_t end =
            lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - text) + 1 : size;
        const std::size_t n = end - start;
        auto copy = std::make_unique<char[]>(n);
        std::memcpy(copy.get(), text + start, n);
        const std::string_view view(copy.get(), n);
        const auto line = Lift::Fieldbus::ParseKbnAdapterLine(view);
        Check(line, view);
        if (line.kind == Lift::Fieldbus::KbnAdapterLine::Kind::Packet)
            net.FilteringReceivedKbnPacket(line.packet);
        start = end;
    }
    return 0;
}
