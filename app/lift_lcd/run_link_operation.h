#pragma once
// The shared body of "upload" and "sync-time": Connect on the given port, start the
// operation as its button would, serve the link on a main loop until it is idle again or the
// time limit has passed, then Disconnect. Exit code 0 when the operation finished, 1 when it
// was refused, failed or aborted, the port could not be opened or was lost, or time ran out.

#include "lift_lcd/cli.h"
#include "lift_lcd/link_console_ui.h"

#include <chrono>
#include <optional>
#include <string>

namespace Lift::Cli {

// An upload at 115200 baud takes under 10 s on the wire; five minutes leave room for a slow
// controller and for the user to put it into download mode.
inline constexpr long long kDefaultLinkTimeLimit = 300;

struct LinkOperation {
    enum class Kind { Upload, SyncTime };
    Kind kind = Kind::Upload;
    PortArgument port;
    std::string imagePath; // Upload
    int encode = 1;        // Upload: ENCODE of the version
    bool msgOn = false;
    std::chrono::milliseconds period{10000};
    // A peer that keeps sending bytes the link skips keeps it waiting for ever; this ends it.
    std::chrono::seconds timeLimit{kDefaultLinkTimeLimit};
};

int RunLinkOperation(const LinkOperation& op, Streams& io, const char* command);

} // namespace Lift::Cli
