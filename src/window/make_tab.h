#pragma once
// MakeTab: the "Make" tab — customer logo, controller settings, ROM file name and the ROM
// file browser, MAKE ROM, and the controller link (COM port, Connect, Date-Time Sync.,
// UpLoad ROM Image, progress bar, message log).
//
// Edits go straight into the session's project. Owns the link station (and so the serial
// port) for its lifetime; the station reports to the QtEditorUi, which must outlive the tab.
// GUI thread only.
#include "editor/editor_session.h"
#include "serial/com_port_discovery.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextEdit;

namespace Lift::Util {
class MainLoop;
}
namespace Lift::Link {
class LinkStation;
}

namespace Lift::Window {

class PictureLabel;
class QtEditorUi;
class RomFileBrowser;

class MakeTab : public QWidget {
    Q_OBJECT
public:
    // ports: where to look for serial ports; nothing leaves the port table as it is.
    MakeTab(Editor::EditorSession& session, QtEditorUi& ui, Util::MainLoop& loop,
            std::optional<Serial::PortDiscoveryPlaces> ports, QWidget* parent = nullptr);
    ~MakeTab() override;

    // Shows the project's fields in the tab's controls.
    void showModel();
    // Item texts of the "COM port:" combo, with the devices the port table maps them to now.
    void showComPortNames();
    // Looks for serial ports again (also done each time the combo's list opens), then shows
    // them; a problem with the remembered numbers is logged once.
    void refreshComPorts();

    // "MAKE ROM".
    void makeRom();

    Link::LinkStation& station() { return *m_station; }
    QRadioButton& logoOffButton() { return *m_logoOff; }
    QRadioButton& logoOnButton() { return *m_logoOn; }
    QComboBox& logoSecondsCombo() { return *m_logoSeconds; }
    PictureLabel& logoPicture() { return *m_logoPicture; }
    QComboBox& powerSavingCombo() { return *m_powerSaving; }
    QComboBox& nodeAddressCombo() { return *m_nodeAddress; }
    QLineEdit& idCodeEdit() { return *m_idCode; }
    QLineEdit& romFileNameEdit() { return *m_romFileName; }
    RomFileBrowser& romBrowser() { return *m_browser; }
    QPushButton& makeRomButton() { return *m_makeRom; }
    QComboBox& comPortCombo() { return *m_comPort; }
    QComboBox& baudCombo() { return *m_baud; }
    QPushButton& connectButton() { return *m_connect; }
    QPushButton& syncButton() { return *m_sync; }
    QPushButton& uploadButton() { return *m_upload; }
    QCheckBox& msgOnBox() { return *m_msgOn; }
    QProgressBar& progressBar() { return *m_progress; }
    QTextEdit& log() { return *m_log; }

Q_SIGNALS:
    // MAKE ROM is about to read the project: edits still open elsewhere must reach it now.
    void projectAboutToBeRead();
    // MAKE ROM changed the project (it drops labels whose user picture is missing).
    void projectChanged();

private:
    QWidget* buildLogoGroup();
    QWidget* buildSettingsGroup();
    QWidget* buildRomGroup();
    QWidget* buildLinkGroup();
    void showLogo();
    void showLinkControls();

    Editor::EditorSession& m_session;
    QtEditorUi& m_ui;
    std::unique_ptr<Link::LinkStation> m_station;
    std::optional<Serial::PortDiscoveryPlaces> m_ports;
    std::string m_portProblem;

    QRadioButton* m_logoOff = nullptr;
    QRadioButton* m_logoOn = nullptr;
    QComboBox* m_logoSeconds = nullptr;
    PictureLabel* m_logoPicture = nullptr;
    QComboBox* m_powerSaving = nullptr;
    QComboBox* m_nodeAddress = nullptr;
    QLineEdit* m_idCode = nullptr;
    QLineEdit* m_romFileName = nullptr;
    RomFileBrowser* m_browser = nullptr;
    QPushButton* m_makeRom = nullptr;
    QComboBox* m_comPort = nullptr;
    QComboBox* m_baud = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_sync = nullptr;
    QPushButton* m_upload = nullptr;
    QCheckBox* m_msgOn = nullptr;
    QProgressBar* m_progress = nullptr;
    QTextEdit* m_log = nullptr;
};

} // namespace Lift::Window
