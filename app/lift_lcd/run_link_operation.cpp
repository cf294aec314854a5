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

    link.SpeedButton5Click(); // Connect
    if (!station.PcUart1().Opened()) {
        io.err << "lift-lcd " << command << ": cannot open COM" << op.port.number << " ("
               << station.PcUart1().devicePath() << "): " << station.PcUart1().LastErrMsg() << "\n";
        return ExitFailed;
    }
    if (upload)
        link.SpeedButton9Click(op.encode);
    else
        link.SpeedButton2Click();

    if (link.linkMode() != Link::LinkMode::Idle)
        loop.waitUntil([&] { return link.linkMode() == Link::LinkMode::Idle; });
    ui.showProgress(link);
    ui.endProgress();
    link.SpeedButton5Click(); // Disconnect

    const Link::LinkOutcome want =
        upload ? Link::LinkOutcome::UploadFinished : Link::LinkOutcome::SyncFinished;
    return link.outcome() == want ? ExitOk : ExitFailed;
}

} // namespace Lift::Cli
