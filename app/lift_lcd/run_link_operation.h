#pragma once
// The shared body of "upload" and "sync-time": Connect on the given port, start the
// operation as its button would, serve the link on a main loop until it is idle again, then
// Disconnect. Exit code 0 when the operation finished, 1 when it was refused, failed or
// aborted, or the port could not be opened.

#include "lift_lcd/cli.h"
#include "lift_lcd/link_console_ui.h"

#include <chrono>
#include <optional>
#include <string>

namespace Lift::Cli {

struct LinkOperation {
    enum class Kind { Upload, SyncTime };
    Kind kind = Kind::Upload;
    PortArgument port;
    std::string imagePath; // Upload
    int encode = 1;        // Upload: ENCODE of the version
    bool msgOn = false;
    std::chrono::milliseconds period{10000};
};

int RunLinkOperation(const LinkOperation& op, Streams& io, const char* command);

} // namespace Lift::Cli
