#include "fieldbus/kbnet_adapter_lines.h"

#include "util/standalone_function.h"

namespace Lift::Fieldbus {

char KbnRegisterName(int registerIndex) {
    return "0123456789ABCDEF"[registerIndex & 0xF];
}

std::string KbnQueryLine(int registerIndex) {
    return YVclUtil::Format(" ?R%c\r\n", KbnRegisterName(registerIndex));
}

std::string KbnWriteLine(int registerIndex, std::uint8_t value) {
    return YVclUtil::Format(" +R%c=%02X\r\n", KbnRegisterName(registerIndex), value);
}

std::string KbnWriteAndQueryLine(int registerIndex, std::uint8_t value) {
    return KbnWriteLine(registerIndex, value) + KbnQueryLine(registerIndex);
}

std::string KbnPacketLine(const ZebCtrl::_SKBNTXDPACKET& packet) {
    const std::size_t count = static_cast<std::size_t>(packet.BytesOfDatas) + 3;
    std::string line(1 + 2 * count + 2, '\0');
    line[0] = '>';
    const auto put = [&line](std::size_t i, std::uint8_t byte) {
        YVclUtil::BinToHexAscii(byte, &line[1 + 2 * i]);
    };
    put(0, packet.KbnSegId);
    put(1, packet.KbnNodeId);
    put(2, packet.BytesOfDatas);
    for (std::size_t i = 0; i < packet.BytesOfDatas; ++i)
        put(3 + i, packet.Datas[i]);
    line[line.size() - 2] = '\r';
    line[line.size() - 1] = '\n';
    return line;
}

} // namespace Lift::Fieldbus
