// The search for serial ports on a fake device tree, pseudo-terminals standing in for the
// adapters, and the COM numbers given to them.
#include "serial/com_port_discovery.h"
#include "serial/port_table.h"

#include "support/fake_device_tree.h"
#include "support/pseudo_terminal.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Lift::Serial {
namespace {

namespace fs = std::filesystem;
using Kind = FoundPort::Kind;

constexpr const char* kFtdi = "usb-FTDI_FT232R_USB_UART_A12345-if00-port0";
constexpr const char* kProlific = "usb-Prolific_PL2303-if00-port0";
constexpr const char* kCp2102 = "usb-Silicon_Labs_CP2102_0001-if00-port0";

class ComPortDiscovery : public ::testing::Test {
protected:
    ~ComPortDiscovery() override { SetFoundComPorts({}); }
    PortDiscovery discover() const { return DiscoverComPorts({tree.root(), memoryFile}); }
    unsigned numberOf(const PortDiscovery& d, const std::string& name) const {
        for (const FoundPort& p : d.ports) {
            if (p.name == name)
                return p.number;
        }
        return 0;
    }

    Lift::Test::TempDir dir;
    Lift::Test::FakeDeviceTree tree{dir.path() / "root"};
    std::string memoryFile = dir.file("config/lift-lcd/com-ports");
};

TEST_F(ComPortDiscovery, AnAdapterKeepsItsNumberAcrossRestartUnplugAndReplug) {
    Lift::Test::PseudoTerminal ftdi, prolific, cp2102;
    tree.uart(0, 4);
    tree.plug("ttyUSB0", ftdi.slavePath(), kFtdi);
    tree.plug("ttyUSB1", prolific.slavePath(), kProlific);
    PortDiscovery d = discover();
    EXPECT_EQ(d.problem, "");
    EXPECT_EQ(numberOf(d, kFtdi), 2u);
    EXPECT_EQ(numberOf(d, kProlific), 3u);
    EXPECT_EQ(fs::canonical(ComPortDevicePath(2)), fs::canonical(ftdi.slavePath()));
    EXPECT_EQ(LookUpComPort(3).label, kProlific);

    tree.unplug("ttyUSB0", kFtdi);
    tree.plug("ttyUSB2", cp2102.slavePath(), kCp2102);
    d = discover(); // a fresh start: all that is kept is in the file
    EXPECT_EQ(numberOf(d, kProlific), 3u);
    EXPECT_EQ(numberOf(d, kCp2102), 4u) << "COM 2 stays the unplugged adapter's";
    EXPECT_EQ(LookUpComPort(2).source, ComPortEntry::Source::Default);

    tree.plug("ttyUSB5", ftdi.slavePath(), kFtdi); // back, under another kernel name
    d = discover();
    EXPECT_EQ(numberOf(d, kFtdi), 2u);
    EXPECT_EQ(d.memory.size(), 3u);
    EXPECT_EQ(ComPortDevicePath(2), tree.byIdPath(kFtdi));
}

TEST(ComPortNumbers, FreeAndReusedNumbers) {
    const auto adapter = [](const char* name) {
        return FoundPort{Kind::Adapter, name, "ttyUSB0", "/dev/x", name, 0};
    };
    ComPortMemory full;
    for (unsigned n = 1; n <= kHighestComPort; ++n)
        full["old" + std::to_string(n)] = n;
    struct Case {
        const char* what;
        bool builtInCom1;
        std::vector<const char*> adapters;
        ComPortMemory memory;
        std::set<unsigned> overridden;
        std::vector<unsigned> expected;
    } cases[] = {
        {"a built-in UART of this machine moves a remembered adapter on, past a number set by "
         "hand",
         true,
         {"a"},
         {{"a", 1}},
         {2},
         {3}},
        {"a name remembered twice by hand: the first in order keeps it",
         false,
         {"a", "b"},
         {{"a", 1}, {"b", 1}},
         {},
         {1, 2}},
        {"every number remembered: the lowest one of an adapter away is reused",
         true,
         {"old3", "new"},
         full,
         {2},
         {3, 4}},
    };
    for (const Case& c : cases) {
        std::vector<FoundPort> ports;
        if (c.builtInCom1)
            ports.push_back({Kind::BuiltIn, "ttyS0", "ttyS0", "/dev/ttyS0", "/dev/ttyS0", 1});
        for (const char* name : c.adapters)
            ports.push_back(adapter(name));
        ComPortMemory memory = c.memory;
        EXPECT_TRUE(AssignComPortNumbers(ports, memory, c.overridden)) << c.what;
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            const FoundPort& p = ports[i + (c.builtInCom1 ? 1 : 0)];
            EXPECT_EQ(p.number, c.expected[i]) << c.what << ": " << p.name;
            EXPECT_EQ(memory[p.name], c.expected[i]) << c.what << ": " << p.name;
        }
    }

    std::vector<FoundPort> ports;
    for (unsigned k = 0; k < kHighestComPort; ++k)
        ports.push_back({Kind::BuiltIn, "", "", "", "", k + 1});
    ports.push_back(adapter("late"));
    ComPortMemory memory;
    EXPECT_FALSE(AssignComPortNumbers(ports, memory, {}));
    EXPECT_EQ(ports.back().number, 0u) << "no number left";
}

TEST_F(ComPortDiscovery, AnUnreadableMemoryFileIsReportedAndLeftAsItIs) {
    std::string error;
    for (const char* bad : {"0 a\n", "17 a\n", "3\n", "3a\n", "x y\n", "1 a\n2 a\n"}) {
        error.clear();
        EXPECT_FALSE(ParseComPortMemory(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    const ComPortMemory memory{{kFtdi, 16}, {"a b", 2}};
    EXPECT_EQ(ParseComPortMemory(FormatComPortMemory(memory) + "\r\n  \n", error), memory);

    Lift::Test::PseudoTerminal pty;
    tree.plug("ttyUSB0", pty.slavePath(), kFtdi);
    fs::create_directories(fs::path(memoryFile).parent_path());
    const std::string text = "# mine\n4 usb-Other\nfive usb-Third\n";
    Lift::Test::WriteBytes(memoryFile, text);
    const PortDiscovery d = discover();
    EXPECT_NE(d.problem.find(memoryFile + ": line 3"), std::string::npos) << d.problem;
    EXPECT_EQ(numberOf(d, kFtdi), 1u) << "usable for this run all the same";
    EXPECT_EQ(Lift::Test::ReadBytes(memoryFile), text);
}

} // namespace
} // namespace Lift::Serial
