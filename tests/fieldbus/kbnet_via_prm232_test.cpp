// The adapter component over a pseudo-terminal against the simulated adapter: the real serial
// component, monitor thread and main loop in between.

#include "fieldbus/kbnet_via_prm232.h"
#include "fieldbus/prm4i4o.h"
#include "fieldbus/pty_kbnet_adapter.h"
#include "serial/port_table.h"
#include "util/eygeneral.h"
#include "util/headless_main_loop.h"

#include "support/error_box_recorder.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;
using namespace ZebCtrl;
using Lift::Fieldbus::KbnAdapterSimConfig;
using Lift::Fieldbus::KbnAdapterSimulator;
using Lift::Fieldbus::PtyKbnAdapter;

namespace {

constexpr auto kLong = 20s; // reaching this means something is stuck
constexpr unsigned kPort = 11;

// The simulated adapter, served on its own thread while it lives.
class ServedAdapter {
public:
    explicit ServedAdapter(KbnAdapterSimConfig config) : m_pty(std::move(config)) {
        if (!m_pty.open())
            throw std::runtime_error(m_pty.error());
    }
    ~ServedAdapter() {
        m_pty.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    void start(Lift::Util::MainLoop& loop) {
        m_pty.setOnReceived([&loop] { loop.wake(); });
        m_thread = std::thread([this] { m_pty.run(); });
    }
    const std::string& path() const { return m_pty.path(); }
    template <typename Fn> auto sim(Fn fn) {
        decltype(fn(std::declval<KbnAdapterSimulator&>())) result{};
        m_pty.access([&](KbnAdapterSimulator& s) { result = fn(s); });
        return result;
    }
    std::vector<std::string> commands() {
        return sim([](KbnAdapterSimulator& s) { return s.commands(); });
    }

private:
    PtyKbnAdapter m_pty;
    std::thread m_thread;
};

KbnAdapterSimConfig Modules() {
    KbnAdapterSimConfig c;
    c.modules = {{0x80, 0x05}, {0x80, 0x06}};
    return c;
}

class KbnViaPrm232 : public ::testing::Test {
protected:
    void start(KbnAdapterSimConfig config = Modules()) {
        served = std::make_unique<ServedAdapter>(std::move(config));
        served->start(loop);
        Lift::Serial::SetComPortDevicePath(kPort, served->path());
        Lift::Test::WriteBytes(dir.file("net.ini"),
                               "[KbnTopologic.Head]\r\nSignature=ZEB\r\n\r\n[NetSegmentId_0x80]\r\n"
                               "Travel_000=Device( \"PRM_4i4o\" ) , NetNodeId( 0x05 )\r\n"
                               "Travel_001=Device( \"PRM_4i4o\" ) , NetNodeId( 0x06 )\r\n");
        net.SetName("KbnNet1");
        net.setMainLoop(&loop);
        net.pw_UartPortNumber(kPort);
        net.pw_FileName(dir.file("net.ini"));
        net.pw_DefHandler_Prm4i4o(&tmpl);
        tmpl.OnInputChanged = [this](TKBNet*, std::uint8_t, std::uint8_t) { ++inputChanges; };
        tmpl.OnGotKbnClsId = [this](TKBNet*, std::uint8_t, std::uint8_t) { ++clsIdReplies; };
        net.OnConnectOK = [this](YVclCtrl::TComponent*) { ++connectOk; };
        net.OnConnectFail = [this](YVclCtrl::TComponent*) { ++connectFail; };
        net.OnUartTxdFail = [this](YVclCtrl::TComponent*) { ++txdFail; };
        net.OnReplyYout = [this](YVclCtrl::TComponent*) { ++replyYout; };
        net.OnReplyXin = [this](YVclCtrl::TComponent*) { ++replyXin; };
        net.OnResetRnsm_OK = [this](YVclCtrl::TComponent*) { ++resetOk; };
        net.OnResetRnsm_WDT = [this](YVclCtrl::TComponent*) { ++resetWdt; };
    }
    void connect() {
        const int before = connectOk + connectFail;
        net.Connect();
        ASSERT_TRUE(waitFor([&] { return connectOk + connectFail > before; }));
        ASSERT_TRUE(net.pr_Connected());
    }
    ~KbnViaPrm232() override {
        net.Disconnect();
        Lift::Serial::SetComPortDevicePath(kPort, "");
    }
    bool waitFor(const std::function<bool()>& done) { return loop.waitUntil(done, kLong); }
    // Waits until the simulator has received n command lines in all; returns those after the
    // first `before`.
    std::vector<std::string> commandsAfter(std::size_t before, std::size_t n) {
        EXPECT_TRUE(waitFor([&] { return served->commands().size() >= n; }));
        const auto all = served->commands();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end()};
    }

    Lift::Test::ErrorBoxRecorder boxes;
    Lift::Test::TempDir dir;
    Lift::Util::HeadlessMainLoop loop;
    std::unique_ptr<ServedAdapter> served;
    TPrm4i4o tmpl{nullptr};
    TKBNetViaPrm232 net{nullptr};
    int connectOk = 0, connectFail = 0, txdFail = 0, replyYout = 0, replyXin = 0,
        resetOk = 0, resetWdt = 0, inputChanges = 0, clsIdReplies = 0;
};

} // namespace

TEST_F(KbnViaPrm232, ConnectSendsTheNineQueriesAndCompletesOnTheirReports) {
    start();
    connect();
    EXPECT_EQ(connectOk, 1);
    EXPECT_EQ(served->sim([](KbnAdapterSimulator& s) { return s.received(); }),
              " \n ?R3\r\n ?R4\r\n ?R5\r\n ?R6\r\n ?R7\r\n ?R8\r\n ?R9\r\n ?R0\r\n ?R1\r\n");
    EXPECT_EQ(net.pr_ConnectReplyMask(), 0x3FBu);
    EXPECT_EQ(net.pr_R3(), 0x01);
    EXPECT_EQ(net.pr_R6(), 0x10);
    EXPECT_EQ(net.pr_R9(), 0x06);
    EXPECT_EQ(replyYout + replyXin, 0); // reports while connecting fire nothing else
    // The topology's default modules exist once connected.
    EXPECT_EQ(net.Prm4i4o(0x80, 0x06)->pr_KbnNodeId(), 0x06);
}

TEST_F(KbnViaPrm232, MissingOrExtraReportsEndInTimeOut) {
    struct Case {
        const char* what;
        std::uint32_t silent, extra;
    };
    for (const Case& c : {Case{"R5 missing", 1u << 5, 0u}, Case{"RE reported", 0u, 1u << 14},
                          Case{"RF reported", 0u, 1u << 15}}) {
        SCOPED_TRACE(c.what);
        KbnAdapterSimConfig config = Modules();
        config.silentRegisters = c.silent;
        config.extraReports = c.extra;
        start(config);
        connectOk = connectFail = 0;
        net.Connect();
        EXPECT_TRUE(net.pr_Connecting());
        ASSERT_TRUE(waitFor([&] { return connectFail > 0; }));
        EXPECT_EQ(connectOk, 0);
        EXPECT_FALSE(net.pr_Connected());
        EXPECT_FALSE(net.pr_Connecting());
        EXPECT_FALSE(net.Uart().Opened());
        net.Disconnect();
        served.reset();
    }
}

TEST_F(KbnViaPrm232, PacketsRoundTripToModulesAndBack) {
    start();
    connect();
    TPrm4i4o* module = net.Prm4i4o(0x80, 0x05);
    module->pw_Yout(0x03);
    module->QueryKbnClsId();
    ASSERT_TRUE(waitFor([&] { return clsIdReplies == 1; }));
    EXPECT_EQ(module->pr_ReportedKbnClsId(), 0x80);
    EXPECT_EQ(served->sim([](KbnAdapterSimulator& s) { return s.module(0x80, 0x05)->yout; }), 3);
    EXPECT_EQ(served->commands().at(9), ">80050284"
                                        "03");

    served->sim([](KbnAdapterSimulator& s) { return s.setModuleInputs(0x80, 0x05, 0x0A); });
    ASSERT_TRUE(waitFor([&] { return inputChanges == 1; }));
    EXPECT_TRUE(module->pr_BitOfX(1) && module->pr_BitOfX(3));

    // A node that is not there: the adapter's answer reaches the manager's own event.
    std::vector<std::uint8_t> unreachable;
    net.OnUnhandledPacketUnreachable = [&](TKBNet*, std::uint8_t, std::uint8_t) {
        const auto& r = net.pr_PacketUnreachableReport();
        unreachable.assign(r.begin(), r.end());
    };
    _SKBNTXDPACKET packet;
    packet.KbnSegId = 0x80;
    packet.KbnNodeId = 0x07;
    packet.BytesOfDatas = 1;
    packet.Datas[0] = 0x03;
    net.SendKbnPacket(packet);
    ASSERT_TRUE(waitFor([&] { return !unreachable.empty(); }));
    EXPECT_EQ(unreachable, (std::vector<std::uint8_t>{0x03, 0x80, 0x07}));
}

TEST_F(KbnViaPrm232, PacketSizeIsCheckedBeforeSending) {
    KbnAdapterSimConfig config = Modules();
    config.registers[6] = 200; // more than a line can carry
    start(config);
    connect();
    _SKBNTXDPACKET packet;
    packet.KbnSegId = 0x80;
    packet.KbnNodeId = 0x05;
    for (const int count : {0, 124, 200}) {
        packet.BytesOfDatas = static_cast<std::uint8_t>(count);
        EXPECT_THROW(net.SendKbnPacket(packet), YVclUtil::EYGeneral) << count;
    }
    packet.BytesOfDatas = 123;
    net.SendKbnPacket(packet);
    const auto sent = commandsAfter(9, 10);
    ASSERT_EQ(sent.size(), 1u); // only the one that fits went out
    EXPECT_EQ(sent[0].size(), 1u + 2 * 126);
}

TEST_F(KbnViaPrm232, ResetReportsAreToldApartFromWatchdogResets) {
    start();
    connect();
    net.pw_Yout(0x06);
    served->sim([](KbnAdapterSimulator& s) {
        s.watchdogReset();
        return 0;
    });
    ASSERT_TRUE(waitFor([&] { return resetWdt == 1; }));
    // The outputs restored.
    EXPECT_EQ(commandsAfter(9, 11), (std::vector<std::string>{"+R0=06", "+R0=06"}));

    net.ResetRnsm();
    EXPECT_TRUE(net.pr_ResetPending());
    ASSERT_TRUE(waitFor([&] { return resetOk == 1; }));
    EXPECT_EQ(commandsAfter(11, 13), (std::vector<std::string>{"+R0=00", "+RF=00"}));
    EXPECT_FALSE(net.pr_ResetPending());
    EXPECT_EQ(resetWdt, 1);
    EXPECT_EQ(txdFail, 0);
}

TEST_F(KbnViaPrm232, StateErrors) {
    start();
    const auto message = [](const std::function<void()>& fn) -> std::string {
        try {
            fn();
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "(nothing raised)";
    };
    const std::string notConnected =
        "Illegal property access, because TKBNetViaPrm232 not in connected state !!!";
    EXPECT_EQ(message([&] { (void)net.pr_Yout(); }), notConnected);
    EXPECT_EQ(message([&] { net.ResetRnsm(); }), notConnected);
    EXPECT_EQ(message([&] { net.SendKbnPacket({}); }), notConnected);

    // A port number the serial component would refuse fails the connect, rather than
    // opening the port it had before.
    net.pw_UartPortNumber(17);
    EXPECT_EQ(message([&] { net.Connect(); }),
              "Open UART fail, when peform TKBNetViaPrm232::Connect() !!!");
    EXPECT_FALSE(net.Uart().Opened());
    EXPECT_EQ(boxes.count(), 0u);

    net.pw_UartPortNumber(kPort);
    net.OnUartTxdFail = nullptr;
    EXPECT_EQ(message([&] { net.Connect(); }),
              "The event \"OnUartTxdFail\" of TKBNetViaPrm232, which handler is not specified !!!");
    EXPECT_FALSE(net.Uart().Opened());
    net.OnUartTxdFail = [](YVclCtrl::TComponent*) {};
    connect();
    const std::string connected =
        "Illegal property access, because TKBNetViaPrm232 now in connected state !!!";
    EXPECT_EQ(message([&] { net.pw_UartPortNumber(2); }), connected);
    // Connecting again would take later reports for connect answers.
    EXPECT_EQ(message([&] { net.Connect(); }), connected);
    EXPECT_FALSE(net.pr_Connecting());
    EXPECT_TRUE(net.pr_Connected());
}
