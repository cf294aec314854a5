// lift-lcd simulate-controller: a simulated display controller on a pseudo-terminal.

#include "lift_lcd/link_commands.h"
#include "lift_lcd/option_values.h"
#include "lift_lcd/stop_on_signals.h"

#include "link/pty_controller.h"
#include "util/atomic_file.h"
#include "util/standalone_function.h"

#include <ostream>

namespace Lift::Cli {

namespace {

constexpr const char* kUsage =
    "Usage: lift-lcd simulate-controller [OPTIONS]\n"
    "\n"
    "Creates a pseudo-terminal that behaves as a PRM-620BX7 display controller, prints its\n"
    "path on the first line, and serves one upload or date-time synchronisation on it.\n"
    "\n"
    "  --link PATH          also make PATH a symbolic link to the terminal\n"
    "  --out FILE           store the received image in FILE\n"
    "  --blocks N           image size in 64-byte blocks (default 976)\n"
    "  --baud N             answer as a line at N baud would (default: at once)\n"
    "  --ask-ms N           repeat the request 'C' every N ms until a frame arrives (1000)\n"
    "  --ask-with-ack       ask with ACK instead of 'C'\n"
    "  --seed N             seed of the random faults (1)\n"
    "  --nak-rate P         answer NAK to a good frame with chance P (0..1)\n"
    "  --garbage-rate P     send garbage bytes before an answer with chance P\n"
    "  --silent-rate P      hold an answer back for --silent-ms with chance P\n"
    "  --silent-ms N        length of a held-back answer's silence (default 0)\n"
    "  --restart-at N       answer the N-th accepted block with 'C' (restart), once\n"
    "  --nak-block N        answer NAK to the first --nak-count deliveries of block N\n"
    "  --nak-count N\n"
    "  --mute-after N       answer nothing after N frames\n"
    "  --hang-up-after N    hang the line up when the frame after N frames arrives, as an\n"
    "                       unplugged cable would\n"
    "  --linger-ms N        after the last answer, wait up to N ms for the client (2000)\n"
    "  --max-ms N           give up after N ms\n"
    "\n"
    "Exit status: 0 when a whole image or a valid date-time frame arrived, 1 otherwise,\n"
    "2 for a usage error.\n";

std::string DescribeDateTime(const Link::LocalDateTime& t) {
    static const char* const kDays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                        "Friday", "Saturday", "Sunday"};
    return YVclUtil::Format("%04d-%02d-%02d %02d:%02d:%02d %s (weekday %d)", t.year, t.month, t.day,
                            t.hour, t.minute, t.second, kDays[t.weekday - 1], t.weekday);
}

} // namespace

int SimulateControllerCommand(const std::vector<std::string>& args, Streams& io) {
    Link::SimulatorConfig config;
    std::string linkPath, outPath;
    long long lingerMs = 2000, maxMs = -1;
    const auto usage = [&](const std::string& why) {
        io.err << "lift-lcd simulate-controller: " << why << "\n" << kUsage;
        return ExitUsage;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            io.out << kUsage;
            return ExitOk;
        }
        if (a == "--ask-with-ack") {
            config.askByte = Link::kAckByte;
            continue;
        }
        if (i + 1 >= args.size())
            return usage(a.rfind("--", 0) == 0 ? "option " + a + " needs a value"
                                               : "unexpected argument '" + a + "'");
        const std::string& v = args[++i];
        const auto integer = [&](long long min, long long max) {
            return ParseInteger(v, min, max);
        };
        std::optional<long long> n;
        std::optional<double> p;
        const auto bad = [&] { return usage("bad value '" + v + "' for " + a); };
        if (a == "--link") {
            linkPath = v;
        } else if (a == "--out") {
            outPath = v;
        } else if (a == "--blocks") {
            if (!(n = integer(1, Link::kUploadImageCapacity / Link::kBlockDataSize)))
                return bad();
            config.blocks = static_cast<int>(*n);
        } else if (a == "--baud") {
            if (!(n = integer(50, 4000000)))
                return bad();
            config.baud = static_cast<unsigned>(*n);
        } else if (a == "--ask-ms") {
            if (!(n = integer(1, 3600000)))
                return bad();
            config.askInterval = std::chrono::milliseconds(*n);
        } else if (a == "--seed") {
            if (!(n = integer(0, INT64_MAX)))
                return bad();
            config.faults.seed = static_cast<std::uint64_t>(*n);
        } else if (a == "--nak-rate" || a == "--garbage-rate" || a == "--silent-rate") {
            if (!(p = ParseRate(v)))
                return bad();
            (a == "--nak-rate"       ? config.faults.nakRate
             : a == "--garbage-rate" ? config.faults.garbageRate
                                     : config.faults.silentRate) = *p;
        } else if (a == "--silent-ms") {
            if (!(n = integer(0, 3600000)))
                return bad();
            config.faults.silentMs = static_cast<int>(*n);
        } else if (a == "--restart-at") {
            if (!(n = integer(1, 1000000)))
                return bad();
            config.faults.restartAtFrame = static_cast<int>(*n);
        } else if (a == "--nak-block") {
            if (!(n = integer(1, 1000000)))
                return bad();
            config.faults.nakBlock = static_cast<int>(*n);
        } else if (a == "--nak-count") {
            if (!(n = integer(0, 1000000)))
                return bad();
            config.faults.nakCount = static_cast<int>(*n);
        } else if (a == "--mute-after" || a == "--hang-up-after") {
            if (!(n = integer(0, 1000000)))
                return bad();
            (a == "--mute-after" ? config.faults.muteAfterFrames
                                 : config.faults.hangUpAfterFrames) = static_cast<int>(*n);
        } else if (a == "--linger-ms") {
            if (!(n = integer(0, 3600000)))
                return bad();
            lingerMs = *n;
        } else if (a == "--max-ms") {
            if (!(n = integer(0, INT32_MAX)))
                return bad();
            maxMs = *n;
        } else {
            return usage("unknown option '" + a + "'");
        }
    }

    Link::PtyController controller(config);
    if (!controller.open() || (!linkPath.empty() && !controller.makeLink(linkPath))) {
        io.err << "lift-lcd simulate-controller: " << controller.error() << "\n";
        return ExitFailed;
    }
    io.out << controller.path() << std::endl; // the client waits for this line

    Link::PtyController::Outcome outcome;
    {
        const StopOnSignals signals([](void* c) { static_cast<Link::PtyController*>(c)->stop(); },
                                    &controller);
        outcome =
            controller.run(std::chrono::milliseconds(lingerMs), std::chrono::milliseconds(maxMs));
    }
    const Link::ControllerSimulator& sim = controller.simulator();
    const Link::SimulatorStats& s = sim.stats();
    io.out << YVclUtil::Format("frames %d, accepted %d, ACK %d, NAK %d, CRC errors %d, order "
                               "errors %d, garbage bytes %d, restarts %d\n",
                               s.frames, s.blocksAccepted, s.acks, s.naks, s.crcErrors,
                               s.orderErrors, s.garbageBytes, s.restarts);
    if (outcome == Link::PtyController::Outcome::Failed) {
        io.err << "lift-lcd simulate-controller: " << controller.error() << "\n";
        return ExitFailed;
    }
    if (sim.result() == Link::ControllerSimulator::Result::DateTime) {
        io.out << "date-time received: " << DescribeDateTime(*sim.dateTime()) << std::endl;
        return ExitOk;
    }
    if (sim.result() == Link::ControllerSimulator::Result::Image) {
        const auto& image = sim.image();
        if (!outPath.empty()) {
            std::string error;
            if (!Util::WriteFileAtomically(
                    outPath,
                    std::string_view(reinterpret_cast<const char*>(image.data()), image.size()),
                    &error)) {
                io.err << "lift-lcd simulate-controller: " << error << "\n";
                return ExitFailed;
            }
        }
        io.out << YVclUtil::Format("image received: %d blocks (%zu bytes)", config.blocks,
                                   image.size())
               << std::endl;
        return ExitOk;
    }
    const char* why = outcome == Link::PtyController::Outcome::ClientLeft ? "the client left"
                      : outcome == Link::PtyController::Outcome::TimedOut ? "time is up"
                      : outcome == Link::PtyController::Outcome::HungUp   ? "it hung the line up"
                                                                          : "stopped";
    io.err << "lift-lcd simulate-controller: " << why << " before a whole image ("
           << s.blocksAccepted << " of " << config.blocks
           << " blocks) or a date-time frame arrived\n";
    return ExitFailed;
}

} // namespace Lift::Cli
