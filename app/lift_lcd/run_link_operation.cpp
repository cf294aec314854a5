#include "lift_lcd/run_link_operation.h"

#include "lift_lcd/port_table_entry.h"
#include "link/link_station.h"
#include "util/headless_main_loop.h"

#include <iostream>
#include <unistd.h>

namespace Lift::Cli {

int RunLinkOperation(const LinkOperation& op, Streams& io, const char* command) {
    const bool upload = op.kind == LinkOperation::Kind::Upload;
    PortTableEntry entry(op.port.number, op.port.devicePath);
    Util::HeadlessMainLoop loop;
    LinkConsoleUi ui(io, upload ? std::optional<std::string>(op.imagePath) : std::nullopt,
                     &io.err == &std::cerr && ::isatty(STDERR_FILENO));
    Link::LinkStation station(loop, ui, op.period);
    Link::ControllerLink& link = station.link();
    link.setChangeHandler([&] { ui.showProgress(link); });
    link.controls().msgOn = op.msgOn;
    link.controls().comPortIndex = static_cast<int>(op.port.number) - 1;

    const std::string where =
        "COM" + std::to_string(op.port.number) + " (" + station.PcUart1().devicePath() + ")";
    link.SpeedButton5Click(); // Connect
    if (!station.PcUart1().Opened()) {
        io.err << "lift-lcd " << command << ": cannot open " << where << ": "
               << station.PcUart1().LastErrMsg() << "\n";
        return ExitFailed;
    }
    if (upload)
        link.SpeedButton9Click(op.encode);
    else
        link.SpeedButton2Click();

    bool inTime = true;
    if (link.linkMode() != Link::LinkMode::Idle)
        inTime =
            loop.waitUntil([&] { return link.linkMode() == Link::LinkMode::Idle; }, op.timeLimit);
    ui.showProgress(link);
    ui.endProgress();
    if (!inTime)
        io.err << "lift-lcd " << command << ": stopped: no result within the time limit of "
               << op.timeLimit.count() << " s (--time-limit)\n";
    if (link.outcome() == Link::LinkOutcome::PortLost)
        io.err << "lift-lcd " << command << ": lost " << where << ": "
               << station.PcUart1().monitorFatalError() << "\n";
    if (link.connected())         // a lost port has disconnected already
        link.SpeedButton5Click(); // Disconnect

    const Link::LinkOutcome want =
        upload ? Link::LinkOutcome::UploadFinished : Link::LinkOutcome::SyncFinished;
    return inTime && link.outcome() == want ? ExitOk : ExitFailed;
}

} // namespace Lift::Cli
