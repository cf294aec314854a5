#include "link/controller_link.h"

#include "link/upload_file.h"
#include "util/standalone_function.h"

#include <algorithm>

namespace Lift::Link {

namespace {
constexpr int kNakLimit = 10;
constexpr int kTimeoutLimit = 10;

constexpr const char* kWaitingLine = "=== Waiting PRM-620BX7 respond.... ===";
constexpr const char* kWarningLine = "*** Warning.... ***";

bool isDecisive(std::uint8_t b) {
    return b == kRequestByte || b == kAckByte || b == kNakByte;
}
} // namespace

ControllerLink::ControllerLink(LinkPort& port, LinkTimer& timer, const LinkClock& clock,
                               Editor::EditorUi& ui)
    : m_port(port), m_timer(timer), m_clock(clock), m_ui(ui) {}

void ControllerLink::SpeedButton5Click() {
    if (m_port.opened())
        m_port.close();
    if (m_connected) {
        m_ui.appendLog(YVclUtil::Format(">>> Close COM %u <<<", m_port.portNumber()));
        setConnected(false);
        changed();
        return;
    }
    const auto shown = static_cast<unsigned>(m_controls.comPortIndex + 1);
    m_port.setPortNumber(shown);
    m_ui.appendLog(YVclUtil::Format(">>> Open COM %u <<<", shown));
    // Exactly the port shown, or none: a number the component refused leaves it on the one
    // set before, and opening that would send the image to another controller.
    if (m_port.portNumber() != shown)
        m_ui.appendLog(
            YVclUtil::Format("===> Open COM %u failed: invalid port number <===", shown));
    else if (!m_port.open())
        m_ui.appendLog(YVclUtil::Format("===> Open COM %u failed: %s <===", shown,
                                        m_port.lastError().c_str()));
    else
        setConnected(true);
    changed();
}

void ControllerLink::setConnected(bool connected) {
    m_connected = connected;
    m_controls.connectCaption = connected ? "Disconnect" : "Connect";
    m_controls.comPortEnabled = !connected;
    m_controls.uploadEnabled = connected;
    m_controls.syncEnabled = connected;
    if (!connected)
        m_timer.stop();
}

void ControllerLink::PcUart1Lost(const std::string& reason) {
    // Waiting out ten silent periods would only hide what happened.
    if (m_linkMode != LinkMode::Idle) {
        m_ui.appendLog("===> Transmit abort!! <===");
        backToIdle(LinkOutcome::PortLost);
    }
    m_ui.appendLog(YVclUtil::Format("=== COM %u: %s ===", m_port.portNumber(), reason.c_str()));
    if (m_port.opened())
        m_port.close();
    m_ui.appendLog(YVclUtil::Format(">>> Close COM %u <<<", m_port.portNumber()));
    setConnected(false);
    changed();
}

void ControllerLink::SpeedButton2Click() {
    m_ui.clearLog();
    m_linkMode = LinkMode::DateTimeSync;
    m_timeoutCount = 0;
    m_nakCount = 0;
    m_outcome = LinkOutcome::None;
    m_stats = {};
    m_controls.uploadEnabled = false;
    m_controls.syncEnabled = false;
    m_ui.appendLog("*** Date & Time Sync. ***");
    m_ui.appendLog(kWaitingLine);
    m_timer.start();
    changed();
}

void ControllerLink::SpeedButton9Click(int encode) {
    if (encode == 0) {
        m_ui.messageBox("ZEB init version\n\n No support download function!!\n\n", "No service!!");
        return;
    }
    Editor::FileDialogRequest request;
    request.filter = "PRV620BX7 ROM File (*.bin)|*.bin";
    const std::optional<std::string> path = m_ui.chooseOpenFile(request);
    if (!path)
        return;

    // Read into a fresh zero-filled buffer and take it only when the whole file was read:
    // a short file never carries bytes of an earlier one, and a failed read leaves the
    // current buffer alone.
    UploadFile file = ReadUploadFile(*path, kUploadImageCapacity);
    switch (file.status) {
    case UploadFile::Status::TooLarge:
        m_ui.appendLog(kWarningLine);
        m_ui.appendLog("=== ROM image too large!! ===");
        changed();
        return;
    case UploadFile::Status::CannotOpen:
        logFileProblem("=== Can not open ROM image!! ===", *path, file.reason);
        return;
    case UploadFile::Status::CannotRead:
        logFileProblem("=== Can not read ROM image!! ===", *path, file.reason);
        return;
    case UploadFile::Status::Ok:
        break;
    }
    m_uploadImage = std::move(file.image);
    ToggleHeaderMask(m_uploadImage);
    m_blockCount = file.length == kShortImageSize ? kShortBlockCount : kFullBlockCount;

    m_controls.uploadEnabled = false;
    m_linkMode = LinkMode::UploadRom;
    m_blockNo = 0;
    m_timeoutCount = 0;
    m_nakCount = 0;
    m_outcome = LinkOutcome::None;
    m_stats = {};
    m_uploadStartTime.reset();
    m_ui.clearLog();
    m_ui.appendLog("*** UpLoad ROM image ***");
    m_ui.appendLog(kWaitingLine);
    m_timer.start();
    changed();
}

void ControllerLink::logFileProblem(const char* what, const std::string& path,
                                    const std::string& reason) {
    m_ui.appendLog(kWarningLine);
    m_ui.appendLog(what);
    m_ui.appendLog("=== " + path + ": " + reason + " ===");
    changed();
}

void ControllerLink::PcUart1RxdDatas(std::span<const std::uint8_t> bytes) {
    // Any received byte, whatever it is, ends a silent period.
    m_timeoutCount = 0;
    if (m_linkMode == LinkMode::Idle) {
        m_timer.stop();
        changed();
        return;
    }
    // The first request, ACK or NAK in the chunk decides; everything after it is ignored.
    const auto it = std::find_if(bytes.begin(), bytes.end(), isDecisive);
    if (it != bytes.end()) {
        if (m_linkMode == LinkMode::UploadRom)
            receiveUpload(*it);
        else
            receiveDateTime(*it);
    }
    changed();
}

void ControllerLink::receiveUpload(std::uint8_t decisive) {
    if (decisive == kRequestByte) {
        m_nakCount = 0;
        m_timer.stop();
        sendFirstBlock();
        m_timer.start();
    } else if (decisive == kAckByte) {
        m_timer.stop();
        m_nakCount = 0;
        if (m_blockNo == 0) {
            // An ACK before any 'C' asks for the first block as well.
            sendFirstBlock();
            m_timer.start();
        } else if (m_blockNo < m_blockCount) {
            ++m_blockNo;
            BuildRomBlockFrame();
            SendLinkFrame();
            m_timer.start();
        } else {
            m_ui.appendLog("===> UpLoad ROM image finish.<===");
            const auto now = m_clock.monotonicNow();
            backToIdle(LinkOutcome::UploadFinished);
            if (m_controls.msgOn) {
                const auto elapsed = m_uploadStartTime
                                         ? std::chrono::duration_cast<std::chrono::milliseconds>(
                                               now - *m_uploadStartTime)
                                               .count()
                                         : 0;
                m_ui.appendLog(YVclUtil::Format("Time = %lld ms", static_cast<long long>(elapsed)));
            }
        }
    } else {
        ++m_stats.naksReceived;
        ++m_nakCount;
        if (m_nakCount < kNakLimit) {
            m_timer.stop();
            // Before the first block there is no frame to repeat: wait on for 'C' or ACK.
            if (m_blockNo > 0) {
                BuildRomBlockFrame();
                ResendLinkFrame();
            }
            m_timer.start();
        } else {
            m_timer.stop();
            m_ui.appendLog("===> UpLoad ROM image failed <===");
            backToIdle(LinkOutcome::UploadFailed);
        }
    }
}

void ControllerLink::sendFirstBlock() {
    m_blockNo = 1;
    BuildRomBlockFrame();
    SendLinkFrame();
    m_uploadStartTime = m_clock.monotonicNow();
}

void ControllerLink::receiveDateTime(std::uint8_t decisive) {
    if (decisive == kRequestByte) {
        m_nakCount = 0;
        m_timer.stop();
        BuildDateTimeFrame();
        SendLinkFrame();
        m_timer.start();
    } else if (decisive == kAckByte) {
        m_nakCount = 0;
        m_ui.appendLog("===> Date & Time Sync. finish <===");
        m_timer.stop();
        backToIdle(LinkOutcome::SyncFinished);
    } else {
        ++m_stats.naksReceived;
        ++m_nakCount;
        if (m_nakCount < kNakLimit) {
            m_timer.stop();
            BuildDateTimeFrame(); // the clock is read anew for every resend
            ResendLinkFrame();
            m_timer.start();
        } else {
            m_timer.stop();
            m_ui.appendLog("===> Date & Time Sync. failed <===");
            backToIdle(LinkOutcome::SyncFailed);
        }
    }
}

void ControllerLink::Timer1Timer() {
    m_ui.appendLog(YVclUtil::Format("===> PRM-620BX7 respond timeout #%d<===", m_timeoutCount + 1));
    ++m_timeoutCount;
    ++m_stats.timeoutTicks;
    if (m_timeoutCount >= kTimeoutLimit) {
        m_ui.appendLog("===> Transmit abort!! <===");
        m_timer.stop();
        backToIdle(LinkOutcome::Aborted);
    }
    changed();
}

void ControllerLink::backToIdle(LinkOutcome outcome) {
    m_controls.syncEnabled = true;
    m_controls.uploadEnabled = true;
    m_nakCount = 0;
    m_linkMode = LinkMode::Idle;
    m_outcome = outcome;
}

void ControllerLink::BuildRomBlockFrame() {
    m_linkFrame = MakeRomBlockFrame(m_uploadImage, m_blockNo);
    m_shownBlockNo = m_blockNo;
    m_controls.progressPosition = std::clamp(m_blockNo, 0, kProgressMax);
}

void ControllerLink::BuildDateTimeFrame() {
    m_linkFrame = MakeDateTimeFrame(m_clock.localNow());
    m_shownBlockNo = 1;
}

void ControllerLink::SendLinkFrame() {
    ++m_stats.framesSent;
    sendFrame("===> Send data block: ");
}

void ControllerLink::ResendLinkFrame() {
    ++m_stats.framesResent;
    sendFrame("===> Resend data block: ");
}

void ControllerLink::sendFrame(const char* lead) {
    m_port.sendData(m_linkFrame);
    if (m_controls.msgOn)
        m_ui.appendLog(YVclUtil::Format("%s%d,CRC = %02X <===", lead, m_shownBlockNo,
                                        m_linkFrame[kFrameCrcIndex]));
}

void ControllerLink::changed() {
    if (m_changed)
        m_changed();
}

} // namespace Lift::Link
