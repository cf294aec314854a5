#pragma once
// ControllerLink: the window's side of the controller link (connection, ROM image upload and
// date-time synchronisation), as pure logic.
//
// The controller leads every exchange: after an operation is started the link waits for the
// controller's 'C', answers with one 68-byte frame, and sends each further frame only as the
// answer to an ACK (next block) or a NAK (the same frame again). Timer1 counts silent
// periods; ten in a row abort the operation, as do ten NAKs in a row.
//
// The handlers carry the names of the window's controls. The front end calls them on the main
// loop's thread: a click handler only while its button is enabled (see controls()),
// PcUart1RxdDatas for each chunk the serial component delivers, Timer1Timer for each tick of
// the timer. The link reaches the outside only through the LinkPort, LinkTimer, LinkClock and
// EditorUi it is given (all must outlive it); none of its calls throw.
//
// A NAK that arrives during an upload before any block was sent (no 'C' or ACK yet) has no
// frame to answer with: it is counted like any NAK and restarts Timer1, but nothing is sent;
// the tenth such NAK in a row ends the upload as failed. So a peer that only ever rejects
// cannot keep the link waiting for ever, while a 'C' or ACK after fewer than ten still starts
// the transfer.

#include "editor/editor_ui.h"
#include "link/link_frame.h"
#include "link/link_io.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace Lift::Link {

enum class LinkMode { Idle, DateTimeSync, UploadRom };

// How the last operation ended, for front ends that wait for it.
enum class LinkOutcome {
    None,           // nothing ended yet (or an operation is running)
    UploadFinished, // last block acknowledged
    UploadFailed,   // ten NAKs in a row
    SyncFinished,
    SyncFailed,
    Aborted,  // ten silent periods in a row
    PortLost, // the port stopped serving (device lost) during the operation
};

// The state of the window's link controls, which the window shows.
struct LinkControls {
    std::string connectCaption = "Connect"; // "Disconnect" while connected
    bool uploadEnabled = false;             // "UpLoad ROM Image"
    bool syncEnabled = false;               // "Date-Time Sync."
    bool comPortEnabled = true;             // the "COM port:" combo
    int comPortIndex = 0;                   // its item index; the port number is index + 1
    bool msgOn = false;                     // "Msg. on": per-frame lines and the time line
    int progressPosition = 0;               // progress bar 0..kProgressMax
};

inline constexpr int kProgressMax = 975;

// Counters for progress displays; reset when an operation starts.
struct LinkStatistics {
    int framesSent = 0; // first sendings
    int framesResent = 0;
    int naksReceived = 0;
    int timeoutTicks = 0;
};

class ControllerLink {
public:
    ControllerLink(LinkPort& port, LinkTimer& timer, const LinkClock& clock, Editor::EditorUi& ui);

    // "Connect" / "Disconnect". Connect opens exactly the port of the COM combo; a number
    // the component refuses, or a port that does not open, is logged with the reason and
    // leaves the link not connected.
    void SpeedButton5Click();
    // "Date-Time Sync.": clears the log and waits for the controller's 'C'.
    void SpeedButton2Click();
    // "UpLoad ROM Image": refuses when encode (ENCODE of the selected version) is 0, asks
    // for the file, checks and reads it, then waits for the controller's 'C'. A file that is
    // too large, cannot be opened or cannot be read is reported in the log and starts nothing.
    void SpeedButton9Click(int encode);
    // One chunk of received bytes.
    void PcUart1RxdDatas(std::span<const std::uint8_t> bytes);
    // One tick of Timer1.
    void Timer1Timer();
    // The serial component stopped serving the open port for good (the device went away):
    // an operation in progress ends at once with the abort line, the reason is logged, and the
    // link disconnects as "Disconnect" would.
    void PcUart1Lost(const std::string& reason);

    LinkControls& controls() { return m_controls; }
    const LinkControls& controls() const { return m_controls; }

    LinkMode linkMode() const { return m_linkMode; }
    bool connected() const { return m_connected; }
    int nakCount() const { return m_nakCount; }
    int timeoutCount() const { return m_timeoutCount; }
    int blockNo() const { return m_blockNo; }
    int blockCount() const { return m_blockCount; }
    const LinkFrame& linkFrame() const { return m_linkFrame; }
    LinkOutcome outcome() const { return m_outcome; }
    const LinkStatistics& statistics() const { return m_stats; }

    // Called after every handler that changed something the front end may show.
    void setChangeHandler(std::function<void()> handler) { m_changed = std::move(handler); }

private:
    void BuildRomBlockFrame();
    void BuildDateTimeFrame();
    void SendLinkFrame();
    void ResendLinkFrame();
    void sendFrame(const char* lead);
    void sendFirstBlock();
    void receiveUpload(std::uint8_t decisive);
    void receiveDateTime(std::uint8_t decisive);
    void backToIdle(LinkOutcome outcome);
    // The one place the connected state and the controls that follow it change.
    void setConnected(bool connected);
    void logFileProblem(const char* what, const std::string& path, const std::string& reason);
    void changed();

    LinkPort& m_port;
    LinkTimer& m_timer;
    const LinkClock& m_clock;
    Editor::EditorUi& m_ui;

    LinkControls m_controls;
    LinkMode m_linkMode = LinkMode::Idle;
    bool m_connected = false;
    int m_nakCount = 0;
    int m_timeoutCount = 0;
    int m_blockNo = 0;
    int m_blockCount = 0;
    int m_shownBlockNo = 0;
    LinkFrame m_linkFrame{};
    // The file as read; blocks beyond its end are sent as zeros.
    std::vector<std::uint8_t> m_uploadImage;
    std::optional<std::chrono::steady_clock::time_point> m_uploadStartTime;
    LinkOutcome m_outcome = LinkOutcome::None;
    LinkStatistics m_stats;
    std::function<void()> m_changed;
};

} // namespace Lift::Link
