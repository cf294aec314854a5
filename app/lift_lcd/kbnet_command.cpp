// lift-lcd kbnet: connect to a KBNet adapter with a topology file, show its registers and
// modules, set outputs, and watch inputs change.

#include "lift_lcd/kbnet_commands.h"
#include "lift_lcd/link_console_ui.h"
#include "lift_lcd/option_values.h"
#include "lift_lcd/port_table_entry.h"
#include "lift_lcd/stop_on_signals.h"

#include "fieldbus/kbnet_messages.h"
#include "fieldbus/kbnet_via_prm232.h"
#include "fieldbus/prm4i4o.h"
#include "util/eygeneral.h"
#include "util/headless_main_loop.h"
#include "util/standalone_function.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ostream>
#include <set>
#include <stdexcept>

namespace Lift::Cli {

namespace {

constexpr const char* kUsage =
    "Usage: lift-lcd kbnet --port PORT --topology FILE [--set SEG:NODE=XX]... [--outputs XX]\n"
    "                      [--watch | --watch-ms N]\n"
    "\n"
    "Connects to the KBNet adapter, prints its registers and, for every module of the\n"
    "topology file, whether it answers and its inputs as last reported.\n"
    "\n"
    "  --port PORT          a port number 1..16, \"COMn\", a port's name as 'lift-lcd ports'\n"
    "                       lists it, or a device path\n"
    "  --topology FILE      the topology file of the bus\n"
    "  --set SEG:NODE=XX    set the outputs of the module at SEG:NODE (hex) to XX\n"
    "  --outputs XX         set the adapter's own outputs (R0) to XX\n"
    "  --watch              print every input change until interrupted (Ctrl-C)\n"
    "  --watch-ms N         the same, for N milliseconds\n"
    "\n"
    "Exit status: 0 done, 1 the adapter could not be reached, refused or was lost, 2 usage\n"
    "error.\n";

// How long modules get to answer their class-id query.
constexpr std::chrono::milliseconds kModuleAnswerTime{1000};
constexpr std::chrono::milliseconds kReplyTime{2000};

std::string Bits(std::uint8_t byte) {
    std::string s;
    for (int i = 3; i >= 0; --i)
        s += ((byte >> i) & 1) ? '1' : '0';
    return s;
}

// The component's messages begin and end with line feeds meant for a message box.
std::string Trimmed(std::string text) {
    const auto first = text.find_first_not_of('\n');
    const auto last = text.find_last_not_of('\n');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

std::string Address(std::uint8_t seg, std::uint8_t node) {
    return YVclUtil::Format("0x%02X:0x%02X", seg, node);
}

struct Options {
    PortArgument port;
    std::string topology;
    std::vector<std::pair<KbnAddress, std::uint8_t>> sets;
    std::optional<std::uint8_t> outputs;
    bool watch = false;
    std::optional<long long> watchMs;
};

std::optional<std::string> Parse(const std::vector<std::string>& args, Options& o, bool& help) {
    std::optional<std::string> port;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            help = true;
            return std::nullopt;
        }
        if (a == "--watch") {
            o.watch = true;
            continue;
        }
        if (a.rfind("--", 0) != 0)
            return "unexpected argument '" + a + "'";
        if (i + 1 >= args.size())
            return "option " + a + " needs a value";
        const std::string& v = args[++i];
        const std::string bad = "bad value '" + v + "' for " + a;
        if (a == "--port") {
            port = v;
        } else if (a == "--topology") {
            o.topology = v;
        } else if (a == "--set") {
            const auto eq = v.find('=');
            const auto address =
                eq == std::string::npos ? std::nullopt : ParseKbnAddress(v.substr(0, eq));
            const auto value =
                eq == std::string::npos ? std::nullopt : ParseHexByte(v.substr(eq + 1));
            if (!address || !value)
                return bad;
            o.sets.emplace_back(*address, *value);
        } else if (a == "--outputs") {
            if (!(o.outputs = ParseHexByte(v)))
                return bad;
        } else if (a == "--watch-ms") {
            if (!(o.watchMs = ParseInteger(v, 0, 24LL * 3600 * 1000)))
                return bad;
        } else {
            return "unknown option '" + a + "'";
        }
    }
    if (!port)
        return std::string("--port is required");
    if (o.topology.empty())
        return std::string("--topology is required");
    std::string error;
    const auto parsed = ParsePortArgument(*port, error);
    if (!parsed)
        return error;
    o.port = *parsed;
    return std::nullopt;
}

int Serve(const Options& o, Streams& io);

} // namespace

int KbnetCommand(const std::vector<std::string>& args, Streams& io) {
    Options o;
    bool help = false;
    if (const auto error = Parse(args, o, help)) {
        io.err << "lift-lcd kbnet: " << *error << "\n" << kUsage;
        return ExitUsage;
    }
    if (help) {
        io.out << kUsage;
        return ExitOk;
    }
    if (!o.port.warning.empty())
        io.err << "lift-lcd kbnet: " << o.port.warning << "\n";
    // What the components raise (a packet the adapter's R6 does not allow, an adapter that
    // went away under an access) ends the command with the reason, after what was printed.
    try {
        return Serve(o, io);
    } catch (const YVclUtil::EYGeneral& e) {
        io.out << std::flush;
        io.err << "lift-lcd kbnet: " << Trimmed(ZebCtrl::KbnTextForDisplay(e.Message())) << "\n";
    } catch (const std::exception& e) {
        io.out << std::flush;
        io.err << "lift-lcd kbnet: " << e.what() << "\n";
    }
    return ExitFailed;
}

namespace {

int Serve(const Options& o, Streams& io) {
    const PortTableEntry entry(o.port.number, o.port.devicePath);
    Util::HeadlessMainLoop loop;
    ZebCtrl::TPrm4i4o defaults(nullptr);
    ZebCtrl::TKBNetViaPrm232 net(nullptr);
    net.SetName("KBNetViaPrm232");
    net.setMainLoop(&loop);
    net.pw_UartPortNumber(static_cast<std::int32_t>(o.port.number));
    net.pw_FileName(o.topology);
    net.pw_DefHandler_Prm4i4o(&defaults);

    enum class Connect { Pending, Ok, Failed } connect = Connect::Pending;
    bool txdFailed = false;
    int flagsReplies = 0, youtReplies = 0;
    net.OnConnectOK = [&](YVclCtrl::TComponent*) { connect = Connect::Ok; };
    net.OnConnectFail = [&](YVclCtrl::TComponent*) { connect = Connect::Failed; };
    net.OnUartTxdFail = [&](YVclCtrl::TComponent*) { txdFailed = true; };
    net.OnReplyKbnFlags = [&](YVclCtrl::TComponent*) { ++flagsReplies; };
    net.OnReplyYout = [&](YVclCtrl::TComponent*) { ++youtReplies; };
    net.OnReplyXin = [&](YVclCtrl::TComponent*) {
        io.out << "adapter inputs X3..X0 " << Bits(net.pr_Xin()) << " (were "
               << Bits(static_cast<std::uint8_t>((net.pr_Old_X(3) << 3) | (net.pr_Old_X(2) << 2) |
                                                 (net.pr_Old_X(1) << 1) | net.pr_Old_X(0)))
               << ")" << std::endl;
    };
    net.OnResetRnsm_WDT = [&](YVclCtrl::TComponent*) {
        io.out << "the adapter reset itself (watchdog); its outputs were sent again" << std::endl;
    };
    std::set<const ZebCtrl::TKBNet*> reported; // modules that reported their inputs
    defaults.OnInputChanged = [&](ZebCtrl::TKBNet* sender, std::uint8_t seg, std::uint8_t node) {
        reported.insert(sender);
        const auto* m = static_cast<ZebCtrl::TPrm4i4o*>(sender);
        io.out << "module " << Address(seg, node) << " inputs X3..X0 " << Bits(m->pr_Xin())
               << " (were " << Bits(m->pr_Old_Xin()) << ")" << std::endl;
    };

    const std::string where =
        Serial::ComPortName(o.port.number) + " (" + net.Uart().devicePath() + ")";
    try {
        net.Connect();
    } catch (const YVclUtil::EYGeneral& e) {
        io.err << "lift-lcd kbnet: " << Trimmed(ZebCtrl::KbnTextForDisplay(e.Message())) << "\n";
        return ExitFailed;
    } catch (const std::runtime_error& e) {
        io.err << "lift-lcd kbnet: " << e.what();
        if (!net.Uart().LastErrMsg().empty())
            io.err << "\n  " << where << ": " << net.Uart().LastErrMsg();
        io.err << "\n";
        return ExitFailed;
    }
    // The component reports a port that stops serving (adapter unplugged, a line without end
    // filling its buffer) as a failed connection, at any time.
    const auto gone = [&] { return connect != Connect::Ok; };
    const auto lost = [&] {
        io.out << std::flush;
        io.err << "lift-lcd kbnet: the adapter on " << where << " was lost: " << net.lostReason()
               << "\n";
        return ExitFailed;
    };
    loop.waitUntil([&] { return connect != Connect::Pending; });
    if (!net.lostReason().empty())
        return lost();
    if (connect != Connect::Ok) {
        io.err << "lift-lcd kbnet: the adapter on " << where
               << (txdFailed ? " could not be sent the register queries\n"
                             : " did not report its registers within 2 seconds\n");
        return ExitFailed;
    }

    io.out << "KBNet adapter on " << where << "\n";
    io.out << YVclUtil::Format("R0 outputs 0x%02X  Y3..Y0 %s\n", net.pr_Yout(),
                               Bits(net.pr_Yout()).c_str());
    io.out << YVclUtil::Format("R1 inputs  0x%02X  X3..X0 %s\n", net.pr_Xin(),
                               Bits(net.pr_Xin()).c_str());
    net.QueryKbnFlags();
    loop.waitUntil([&] { return flagsReplies > 0 || txdFailed || gone(); }, kReplyTime);
    if (gone())
        return lost();
    io.out << YVclUtil::Format(
        "R3 0x%02X  R4 0x%02X  R5 0x%02X  R6 0x%02X  R7 0x%02X  R8 0x%02X  R9 0x%02X  RE %s\n",
        net.pr_R3(), net.pr_R4(), net.pr_R5(), net.pr_R6(), net.pr_R7(), net.pr_R8(), net.pr_R9(),
        flagsReplies ? YVclUtil::Format("0x%02X", net.pr_RE()).c_str() : "(no report)");

    // Every module of the topology: ask for its class id to see who answers.
    std::vector<ZebCtrl::TPrm4i4o*> modules;
    for (int seg = 0; seg <= ZebCtrl::kKbnMaxSegId; ++seg)
        for (int node = 0; node <= ZebCtrl::kKbnMaxNodeId; ++node) {
            const auto* e = net.pr_TopologyEntry(static_cast<std::uint8_t>(seg),
                                                 static_cast<std::uint8_t>(node));
            if (!e)
                break; // no table for this segment
            if (auto* m = dynamic_cast<ZebCtrl::TPrm4i4o*>(e->Component))
                modules.push_back(m);
        }
    enum Answer : std::uint8_t { None, Answered, Unreachable };
    std::vector<Answer> answered(modules.size(), None);
    for (std::size_t i = 0; i < modules.size(); ++i) {
        modules[i]->OnGotKbnClsId = [&, i](ZebCtrl::TKBNet*, std::uint8_t, std::uint8_t) {
            answered[i] = Answered;
        };
        modules[i]->OnPacketUnreachable = [&, i](ZebCtrl::TKBNet*, std::uint8_t, std::uint8_t) {
            answered[i] = Unreachable;
        };
        modules[i]->QueryKbnClsId();
    }
    loop.waitUntil(
        [&] {
            return gone() || std::find(answered.begin(), answered.end(), None) == answered.end();
        },
        kModuleAnswerTime);
    if (gone())
        return lost();
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const ZebCtrl::TPrm4i4o* m = modules[i];
        static const char* const kAnswer[] = {"no answer", "answers", "unreachable"};
        io.out << "module " << Address(m->pr_KbnSegId(), m->pr_KbnNodeId()) << "  "
               << kAnswer[answered[i]] << "  inputs X3..X0 "
               << (reported.count(m) ? Bits(m->pr_Xin()) : std::string("not reported yet")) << "\n";
    }
    io.out << std::flush;

    // Every address first, so that a typo sets nothing at all.
    std::vector<ZebCtrl::TPrm4i4o*> targets;
    for (const auto& [address, value] : o.sets) {
        ZebCtrl::TPrm4i4o* module = nullptr;
        try {
            module = net.Prm4i4o(address.seg, address.node);
        } catch (const YVclUtil::EYGeneral&) {
        }
        if (!module) {
            io.err << "lift-lcd kbnet: no module at " << Address(address.seg, address.node)
                   << " in " << o.topology << "; no outputs were set\n";
            net.Disconnect();
            return ExitFailed;
        }
        targets.push_back(module);
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const auto& [address, value] = o.sets[i];
        targets[i]->pw_Yout(value);
        io.out << "module " << Address(address.seg, address.node) << " outputs set to "
               << YVclUtil::Format("0x%02X", value) << std::endl;
    }
    if (o.outputs) {
        net.pw_Yout(*o.outputs);
        io.out << YVclUtil::Format("adapter outputs set to 0x%02X", *o.outputs) << std::endl;
    }
    if (!o.sets.empty() || o.outputs) {
        // The adapter answers in order: its report of R0 means every line before it arrived,
        // so closing the port now loses nothing.
        const int before = youtReplies;
        net.QueryYout();
        loop.waitUntil([&] { return youtReplies > before || txdFailed || gone(); }, kReplyTime);
        if (gone())
            return lost();
        if (youtReplies == before || txdFailed) {
            io.err << "lift-lcd kbnet: the adapter on " << where
                   << " did not confirm the outputs\n";
            return ExitFailed;
        }
    }

    if (o.watch || o.watchMs) {
        std::atomic<bool> stop{false};
        const StopOnSignals signals(
            [](void* c) { static_cast<std::atomic<bool>*>(c)->store(true); }, &stop);
        io.out << "watching inputs" << (o.watchMs ? "" : " (Ctrl-C ends)") << std::endl;
        const auto end = std::chrono::steady_clock::now() +
                         std::chrono::milliseconds(o.watchMs ? *o.watchMs : 0);
        // A signal cannot wake the loop safely; it looks at the flag ten times a second.
        while (!stop.load() && !gone() && (!o.watchMs || std::chrono::steady_clock::now() < end))
            loop.waitUntil([&] { return stop.load() || gone(); }, std::chrono::milliseconds(100));
        if (gone())
            return lost();
    }
    net.Disconnect();
    return txdFailed ? ExitFailed : ExitOk;
}

} // namespace
} // namespace Lift::Cli
