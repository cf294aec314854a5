#include "fieldbus/kbnet_adapter_simulator.h"

#include "fieldbus/kbnet_adapter_lines.h"
#include "fieldbus/kbnet_packet.h"
#include "util/standalone_function.h"

#include <optional>

namespace Lift::Fieldbus {

namespace {

// Longest command line kept; the rest of a longer one is dropped with it.
constexpr std::size_t kMaxLine = 1024;

std::optional<int> HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> HexBytes(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const auto hi = HexValue(hex[i]);
        const auto lo = HexValue(hex[i + 1]);
        if (!hi || !lo)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*hi * 16 + *lo));
    }
    return bytes;
}

} // namespace

KbnAdapterSimulator::KbnAdapterSimulator(KbnAdapterSimConfig config)
    : m_config(std::move(config)), m_registers(m_config.registers) {
    for (const auto& address : m_config.modules)
        m_modules[address] = {};
}

const KbnSimModule* KbnAdapterSimulator::module(std::uint8_t seg, std::uint8_t node) const {
    const auto it = m_modules.find({seg, node});
    return it == m_modules.end() ? nullptr : &it->second;
}

std::string KbnAdapterSimulator::takeOutput() {
    return std::exchange(m_output, {});
}

void KbnAdapterSimulator::receive(std::string_view bytes) {
    m_received += bytes;
    for (const char c : bytes) {
        if (c == '\n') {
            std::string line = std::exchange(m_partial, {});
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            handleLine(line);
        } else if (m_partial.size() < kMaxLine) {
            m_partial += c;
        }
    }
}

void KbnAdapterSimulator::report(int index) {
    m_output += YVclUtil::Format("*R%c=%02X\r\n", KbnRegisterName(index),
                                 m_registers[static_cast<std::size_t>(index)]);
}

void KbnAdapterSimulator::handleLine(std::string_view line) {
    while (!line.empty() && line.front() == ' ')
        line.remove_prefix(1);
    if (line.empty())
        return;
    ++m_stats.commandLines;
    m_commands.emplace_back(line);

    if (line[0] == '>') {
        handlePacket(line.substr(1));
        return;
    }
    const auto index = line.size() >= 3 && line[1] == 'R' ? HexValue(line[2]) : std::nullopt;
    if (index && line[0] == '?' && line.size() == 3) {
        if (!m_extraSent && m_config.extraReports) {
            m_extraSent = true;
            for (int r = 0; r < 16; ++r)
                if (m_config.extraReports & (1u << r))
                    report(r);
        }
        if (!(m_config.silentRegisters & (1u << *index)))
            report(*index);
        return;
    }
    if (index && line[0] == '+' && line.size() == 6 && line[3] == '=') {
        const auto value = HexBytes(line.substr(4));
        if (value) {
            if (*index == 0xF) {
                resetBus();
                if (m_config.confirmBusReset)
                    report(0xF);
            } else {
                m_registers[static_cast<std::size_t>(*index)] = (*value)[0];
            }
            return;
        }
    }
    ++m_stats.badLines;
}

void KbnAdapterSimulator::handlePacket(std::string_view hex) {
    const auto bytes = HexBytes(hex);
    if (!bytes || bytes->size() < 4 || bytes->size() != static_cast<std::size_t>((*bytes)[2]) + 3 ||
        (*bytes)[2] > m_registers[6]) {
        ++m_stats.badLines;
        return;
    }
    ++m_stats.packets;
    const std::uint8_t seg = (*bytes)[0], node = (*bytes)[1], command = (*bytes)[3];
    const auto it = m_modules.find({seg, node});
    if (it == m_modules.end()) {
        // The adapter answers for a node that is not there: the command and where it went.
        sendPacket(seg, node, {ZebCtrl::kcmd_PacketUnreachable, command, seg, node});
        return;
    }
    KbnSimModule& m = it->second;
    switch (command) {
    case ZebCtrl::kcmd_Prm4i4oSetOutputs:
        if (bytes->size() >= 5)
            m.yout = static_cast<std::uint8_t>((*bytes)[4] & 0x0F);
        break;
    case ZebCtrl::kcmd_RequestToReset:
        m.yout = 0;
        sendPacket(seg, node, {ZebCtrl::kcmd_ResetDone});
        sendPacket(seg, node, {ZebCtrl::kcmd_Prm4i4oInputReport, m.xin});
        break;
    case ZebCtrl::kcmd_QueryProtocolVersion:
        sendPacket(seg, node, {ZebCtrl::kcmd_ReplyProtocolVersion, m_config.protocolVersion});
        break;
    case ZebCtrl::kcmd_QueryClsId:
        sendPacket(seg, node, {ZebCtrl::kcmd_ReplyClsId, ZebCtrl::kci_Prm4i4o});
        break;
    case ZebCtrl::kcmd_QueryCustomerId:
        sendPacket(seg, node, {ZebCtrl::kcmd_ReplyCustomerId, m_config.customerId});
        break;
    default:
        break; // a module ignores commands it does not know
    }
}

void KbnAdapterSimulator::sendPacket(std::uint8_t seg, std::uint8_t node,
                                     std::vector<std::uint8_t> datas) {
    std::string line = "@";
    char hex[2];
    const auto put = [&](std::uint8_t b) {
        YVclUtil::BinToHexAscii(b, hex);
        line.append(hex, 2);
    };
    put(seg);
    put(node);
    put(static_cast<std::uint8_t>(datas.size()));
    for (const std::uint8_t b : datas)
        put(b);
    m_output += line + "\r\n";
}

void KbnAdapterSimulator::resetBus() {
    m_registers[0] = 0;
    for (auto& [address, m] : m_modules) {
        m.yout = 0;
        sendPacket(address.first, address.second, {ZebCtrl::kcmd_Prm4i4oInputReport, m.xin});
    }
}

bool KbnAdapterSimulator::setModuleInputs(std::uint8_t seg, std::uint8_t node,
                                          std::uint8_t inputs) {
    const auto it = m_modules.find({seg, node});
    if (it == m_modules.end())
        return false;
    it->second.xin = static_cast<std::uint8_t>(inputs & 0x0F);
    sendPacket(seg, node, {ZebCtrl::kcmd_Prm4i4oInputReport, it->second.xin});
    return true;
}

void KbnAdapterSimulator::setAdapterInputs(std::uint8_t inputs) {
    m_registers[1] = static_cast<std::uint8_t>(inputs & 0x0F);
    report(1);
}

void KbnAdapterSimulator::watchdogReset() {
    m_registers[0] = 0;
    report(0xF);
}

void KbnAdapterSimulator::inject(std::string_view bytes) {
    m_output += bytes;
}

} // namespace Lift::Fieldbus
