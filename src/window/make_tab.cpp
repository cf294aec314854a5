#include "window/make_tab.h"

#include "editor/display_picture.h"
#include "editor/logo_choice.h"
#include "window/picture_label.h"
#include "window/qt_editor_ui.h"
#include "window/rom_file_browser.h"
#include "window/run_guarded.h"
#include "link/link_station.h"
#include "rom/run_make_rom.h"
#include "serial/port_table.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QVBoxLayout>

#include <functional>

namespace Lift::Window {

namespace {

constexpr int kComPortItems = 20;
// The serial component opens port numbers 1..16 only; the others are listed (the user may
// pick them and is told so at Connect) but map to no device.
constexpr int kHighestOpenablePort = 16;
constexpr std::array<const char*, 5> kBaudItems{"14400", "19200", "38400", "57600", "115200"};

QComboBox* numberCombo(int first, int count, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    for (int i = 0; i < count; ++i)
        combo->addItem(QString::number(first + i));
    return combo;
}

// A combo-backed field: -1 (or any value out of the list) shows no item.
void showIndex(QComboBox* combo, int index) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

void showText(QLineEdit* edit, const QString& text) {
    if (edit->text() == text)
        return; // keeps the cursor where the user left it
    const QSignalBlocker block(edit);
    edit->setText(text);
}

std::string FromLatin1(const QString& text) {
    return text.toLatin1().toStdString();
}

// Lets its owner bring the items up to date just before the list opens: an adapter
// plugged in or pulled out meanwhile shows there.
class RefreshingComboBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;
    void showPopup() override {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

} // namespace

MakeTab::MakeTab(Editor::EditorSession& session, QtEditorUi& ui, Util::MainLoop& loop,
                 std::optional<Serial::PortDiscoveryPlaces> ports, QWidget* parent)
    : QWidget(parent), m_session(session), m_ui(ui),
      m_station(std::make_unique<Link::LinkStation>(loop, ui)), m_ports(std::move(ports)) {
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildLogoGroup());
    left->addWidget(buildSettingsGroup());
    left->addStretch(1);
    top->addLayout(left);
    top->addWidget(buildRomGroup(), 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buildLinkGroup(), 1);

    m_ui.addPictureBox(Editor::PictureBox::Logo, 0, m_logoPicture);
    m_ui.setLogView(m_log);
    m_station->link().setChangeHandler([this] { showLinkControls(); });
    showComPortNames();
    showLinkControls();
    showModel();
}

MakeTab::~MakeTab() {
    // The station closes its port first: a hand-over served meanwhile may still log.
    m_station->link().setChangeHandler(nullptr);
    m_station.reset();
    m_ui.setLogView(nullptr);
    m_ui.addPictureBox(Editor::PictureBox::Logo, 0, nullptr);
}

QWidget* MakeTab::buildLogoGroup() {
    auto* group = new QGroupBox(QStringLiteral("Customer Logo"), this);
    m_logoOff = new QRadioButton(QStringLiteral("OFF"), group);
    m_logoOn = new QRadioButton(QStringLiteral("ON (Sec.)"), group);
    m_logoSeconds = numberCombo(1, Editor::kLogoSecondsCount, group);
    m_logoPicture = new PictureLabel(QSize(64, 64), group);

    auto* onRow = new QHBoxLayout;
    onRow->addWidget(m_logoOn);
    onRow->addWidget(m_logoSeconds);
    onRow->addStretch(1);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_logoOff);
    layout->addLayout(onRow);
    layout->addWidget(new QLabel(QStringLiteral("Customer logo:  64 x 64"), group));
    layout->addWidget(m_logoPicture);

    connect(m_logoOn, &QRadioButton::clicked, this, [this] {
        RunGuarded([this] { Editor::LogoOn(m_session, m_ui); });
        showLogo();
    });
    connect(m_logoOff, &QRadioButton::clicked, this, [this] {
        // Nothing of the forgotten logo stays on show, even without the blank picture.
        m_logoPicture->clearPicture();
        RunGuarded([this] { Editor::LogoOff(m_session, m_ui); });
        showLogo();
    });
    connect(m_logoPicture, &PictureLabel::clicked, this,
            [this] { RunGuarded([this] { Editor::ChooseLogoFile(m_session, m_ui); }); });
    connect(m_logoSeconds, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_session.project.logoSecondsIndex = index; });
    return group;
}

QWidget* MakeTab::buildSettingsGroup() {
    auto* group = new QGroupBox(this);
    m_powerSaving = new QComboBox(group);
    for (const char* item : Editor::kPowerSavingItems)
        m_powerSaving->addItem(QString::fromLatin1(item));
    m_nodeAddress = numberCombo(0, Editor::kNodeAddressCount, group);
    m_idCode = new QLineEdit(group);
    // The code is stored one byte a character: characters beyond Latin-1 cannot be typed.
    m_idCode->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[\\x{0}-\\x{ff}]*")), m_idCode));

    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("LCD BL Power saving:"), m_powerSaving);
    form->addRow(QStringLiteral("Node Address:"), m_nodeAddress);
    form->addRow(QStringLiteral("ID Code (4 bytes):"), m_idCode);

    connect(m_powerSaving, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_session.project.powerSavingIndex = index; });
    connect(m_nodeAddress, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_session.project.nodeAddress = index; });
    connect(m_idCode, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_session.project.idCode = FromLatin1(text); });
    return group;
}

QWidget* MakeTab::buildRomGroup() {
    auto* group = new QGroupBox(this);
    m_browser = new RomFileBrowser(QDir::currentPath(), group);
    m_romFileName = new QLineEdit(group);
    m_makeRom = new QPushButton(QStringLiteral("MAKE ROM"), group);

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel(QStringLiteral("ROM Filename:"), group));
    nameRow->addWidget(m_romFileName, 1);
    nameRow->addWidget(m_makeRom);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(m_browser, 1);
    layout->addLayout(nameRow);

    connect(m_romFileName, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_session.project.romFileName = ToPath(text); });
    connect(m_browser, &RomFileBrowser::fileChosen, m_romFileName, &QLineEdit::setText);
    connect(m_makeRom, &QPushButton::clicked, this, &MakeTab::makeRom);
    return group;
}

QWidget* MakeTab::buildLinkGroup() {
    auto* group = new QGroupBox(this);
    auto* comPort = new RefreshingComboBox(group);
    comPort->beforePopup = [this] { refreshComPorts(); };
    // Wide enough for most adapter names, and fixed, so the buttons beside it stay put
    // when a port comes or goes; the open list shows every name whole.
    comPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    comPort->setMinimumContentsLength(36);
    m_comPort = comPort;
    for (int i = 0; i < kComPortItems; ++i)
        m_comPort->addItem(QString());
    m_baud = new QComboBox(group);
    for (const char* item : kBaudItems)
        m_baud->addItem(QString::fromLatin1(item));
    m_baud->setCurrentIndex(0);
    m_baud->setVisible(false);
    m_connect = new QPushButton(group);
    m_sync = new QPushButton(QStringLiteral("Date-Time Sync."), group);
    m_upload = new QPushButton(QStringLiteral("UpLoad ROM Image"), group);
    m_msgOn = new QCheckBox(QStringLiteral("Msg. on"), group);
    m_progress = new QProgressBar(group);
    m_progress->setRange(0, Link::kProgressMax);
    m_progress->setTextVisible(false);
    m_log = new QTextEdit(group);
    m_log->setReadOnly(true);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("COM port:"), group));
    row->addWidget(m_comPort);
    row->addWidget(m_baud);
    row->addWidget(m_connect);
    row->addWidget(m_sync);
    row->addWidget(m_upload);
    row->addWidget(m_msgOn);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(group);
    layout->addLayout(row);
    layout->addWidget(m_progress);
    layout->addWidget(m_log, 1);

    Link::ControllerLink& link = m_station->link();
    connect(m_comPort, &QComboBox::currentIndexChanged, this,
            [&link](int index) { link.controls().comPortIndex = index; });
    connect(m_baud, &QComboBox::currentIndexChanged, this,
            [this] { m_station->ComboBox11Change(FromLatin1(m_baud->currentText())); });
    connect(m_msgOn, &QCheckBox::toggled, this, [&link](bool on) { link.controls().msgOn = on; });
    connect(m_connect, &QPushButton::clicked, this, [&link] { link.SpeedButton5Click(); });
    connect(m_sync, &QPushButton::clicked, this, [&link] { link.SpeedButton2Click(); });
    connect(m_upload, &QPushButton::clicked, this, [this, &link] {
        link.SpeedButton9Click(m_session.program.settings.versionSettings.encode);
    });
    return group;
}

void MakeTab::showComPortNames() {
    for (int i = 0; i < m_comPort->count(); ++i) {
        const int number = i + 1;
        QString text = QStringLiteral("COM %1").arg(number);
        if (number <= kHighestOpenablePort) {
            // A number with nothing found or set behind it is listed bare.
            const Serial::ComPortEntry entry = Serial::LookUpComPort(static_cast<unsigned>(number));
            if (entry.source == Serial::ComPortEntry::Source::Found)
                text += QStringLiteral(" (%1)").arg(FromPath(entry.label));
            else if (entry.source != Serial::ComPortEntry::Source::Default)
                text += QStringLiteral(" (%1)").arg(FromPath(entry.devicePath));
        }
        m_comPort->setItemText(i, text);
    }
}

void MakeTab::refreshComPorts() {
    if (m_ports) {
        const Serial::PortDiscovery found = Serial::DiscoverComPorts(*m_ports);
        if (found.problem != m_portProblem) {
            m_portProblem = found.problem;
            if (!m_portProblem.empty())
                m_ui.appendLog(m_portProblem);
        }
    }
    showComPortNames();
}

void MakeTab::showModel() {
    const Editor::DisplayProject& p = m_session.project;
    showLogo();
    showIndex(m_logoSeconds, p.logoSecondsIndex);
    showIndex(m_powerSaving, p.powerSavingIndex);
    showIndex(m_nodeAddress, p.nodeAddress);
    showText(m_idCode, QString::fromLatin1(p.idCode));
    showText(m_romFileName, FromPath(p.romFileName));
    // Shown without a word: a logo that cannot be shown was reported when it was chosen or
    // loaded, and the blank picture is decoration.
    QImage logo;
    std::string error;
    if (Editor::LoadDisplayPicture(Editor::LogoBoxPicture(m_session), logo, error))
        m_logoPicture->setPicture(logo);
    else
        m_logoPicture->clearPicture();
}

void MakeTab::showLogo() {
    const bool on = m_session.project.logoEnabled;
    const QSignalBlocker blockOn(m_logoOn);
    const QSignalBlocker blockOff(m_logoOff);
    (on ? m_logoOn : m_logoOff)->setChecked(true);
    m_logoSeconds->setEnabled(on);
}

void MakeTab::showLinkControls() {
    const Link::LinkControls& c = m_station->link().controls();
    m_connect->setText(QString::fromLatin1(c.connectCaption));
    m_upload->setEnabled(c.uploadEnabled);
    m_sync->setEnabled(c.syncEnabled);
    m_comPort->setEnabled(c.comPortEnabled);
    showIndex(m_comPort, c.comPortIndex);
    const QSignalBlocker block(m_msgOn);
    m_msgOn->setChecked(c.msgOn);
    m_progress->setValue(c.progressPosition);
}

void MakeTab::makeRom() {
    Q_EMIT projectAboutToBeRead();
    RunGuarded([this] { Rom::RunMakeRom(m_session, m_ui); });
    m_browser->refresh();
    Q_EMIT projectChanged();
}

} // namespace Lift::Window
