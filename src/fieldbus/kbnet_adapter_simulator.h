#pragma once
// KbnAdapterSimulator: the KBNet adapter module's side of the RS-232 line, as pure logic, for
// tests and the simulate-kbnet command. Bytes from the PC go in through receive(); what the
// adapter says comes out of takeOutput().
//
// It answers register queries (" ?Rn") with reports ("*Rn=HH"), stores register writes
// (" +Rn=HH"); a write of RF resets the bus: every module clears its outputs and reports its
// inputs, then "*RF=00" confirms. It keeps a few 4-input/4-output modules and answers their
// packets (">" lines): outputs, reset, the protocol-version, class-id and customer-id
// queries; a packet for an address without a module is answered "packet unreachable".
// Scripted events: module or adapter inputs change (input reports), a watchdog reset
// ("*RF=00" unasked), and arbitrary bytes (malformed lines).
//
// Not thread-safe; one owner drives it.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Lift::Fieldbus {

struct KbnSimModule {
    std::uint8_t yout = 0;
    std::uint8_t xin = 0;
};

struct KbnAdapterSimConfig {
    // Module addresses (segment, node).
    std::vector<std::pair<std::uint8_t, std::uint8_t>> modules;
    // Registers R0..RF at power-up. R6 = 16: largest number of data bytes per packet.
    std::array<std::uint8_t, 16> registers = {0x00, 0x00, 0x00, 0x01, 0x02, 0x03, 0x10, 0x04,
                                              0x05, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    // Registers (bit n = Rn) whose queries go unanswered.
    std::uint32_t silentRegisters = 0;
    // Registers (bit n = Rn) reported, unasked, right after the first query arrives.
    std::uint32_t extraReports = 0;
    // Whether a bus reset (RF written) is confirmed with "*RF=00".
    bool confirmBusReset = true;
    std::uint8_t protocolVersion = 0x01;
    std::uint8_t customerId = 0x00;
};

struct KbnSimStats {
    int commandLines = 0; // non-empty lines from the PC
    int badLines = 0;     // lines it did not understand
    int packets = 0;      // well-formed packet lines
};

class KbnAdapterSimulator {
public:
    explicit KbnAdapterSimulator(KbnAdapterSimConfig config);

    // Bytes from the PC; lines end with LF (a CR before it is dropped).
    void receive(std::string_view bytes);
    // Everything the adapter has said since the last call.
    std::string takeOutput();
    bool hasOutput() const { return !m_output.empty(); }

    // Scripted events.
    // False when no module sits at the address.
    bool setModuleInputs(std::uint8_t seg, std::uint8_t node, std::uint8_t inputs);
    void setAdapterInputs(std::uint8_t inputs); // R1, reported at once
    void watchdogReset();                       // outputs lost, "*RF=00" unasked
    void inject(std::string_view bytes);        // sent as they are

    std::uint8_t reg(int index) const { return m_registers[static_cast<std::size_t>(index & 0xF)]; }
    const KbnSimModule* module(std::uint8_t seg, std::uint8_t node) const;
    // Every byte received, as it came.
    const std::string& received() const { return m_received; }
    // Every command line received, without its blank and CR LF, oldest first.
    const std::vector<std::string>& commands() const { return m_commands; }
    const KbnSimStats& stats() const { return m_stats; }

private:
    void handleLine(std::string_view line);
    void handlePacket(std::string_view hex);
    void report(int index);
    void sendPacket(std::uint8_t seg, std::uint8_t node, std::vector<std::uint8_t> datas);
    void resetBus();

    KbnAdapterSimConfig m_config;
    std::array<std::uint8_t, 16> m_registers;
    std::map<std::pair<std::uint8_t, std::uint8_t>, KbnSimModule> m_modules;
    std::string m_received;
    std::string m_partial;
    std::string m_output;
    std::vector<std::string> m_commands;
    KbnSimStats m_stats;
    bool m_extraSent = false;
};

} // namespace Lift::Fieldbus
