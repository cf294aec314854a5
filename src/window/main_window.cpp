#include "window/main_window.h"

#include "window/check_dialog.h"
#include "window/make_tab.h"
#include "window/picture_label.h"
#include "window/qt_editor_ui.h"
#include "window/run_guarded.h"
#include "window/setup_tab.h"

#include "commissioning/commissioning_sheet.h"
#include "editor/text_rules.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>

namespace Lift::Window {

MainWindow::MainWindow(Util::MainLoop& loop, const WindowOptions& options, QWidget* parent)
    : QMainWindow(parent), m_ui(std::make_unique<QtEditorUi>(this)) {
    m_ui->setScript(options.script);
    m_ui->installErrorBoxSink();
    setWindowTitle(QString::fromLatin1(Editor::kBaseCaption));

    m_tabs = new QTabWidget(this);
    m_setup = new SetupTab(m_session, *m_ui, m_tabs);
    m_make = new MakeTab(m_session, *m_ui, loop, options.ports, m_tabs);
    m_tabs->addTab(m_setup, QStringLiteral("Setup"));
    m_tabs->addTab(m_make, QStringLiteral("Make"));
    setCentralWidget(m_tabs);
    buildStatusBar();
    connect(m_setup, &SetupTab::projectReplaced, this, &MainWindow::showModel);
    connect(m_make, &MakeTab::projectAboutToBeRead, m_setup, &SetupTab::commitOpenCell);
    connect(m_make, &MakeTab::projectChanged, this, &MainWindow::showModel);
    m_check = new CheckDialog(this);
    connect(m_setup, &SetupTab::checkRequested, this, &MainWindow::check);
    connect(m_setup, &SetupTab::sheetRequested, this, &MainWindow::printSheet);
    connect(m_check, &CheckDialog::checkAgain, this, &MainWindow::check);
    connect(m_check, &CheckDialog::placeChosen, this, &MainWindow::showPlace);
    auto* checkKey = new QShortcut(QKeySequence(Qt::Key_F7), this);
    connect(checkKey, &QShortcut::activated, this, &MainWindow::check);

    // The shortcuts users expect; they act as the Setup tab's buttons do.
    auto* save = new QShortcut(QKeySequence::Save, this);
    connect(save, &QShortcut::activated, m_setup, &SetupTab::saveProject);
    auto* open = new QShortcut(QKeySequence::Open, this);
    connect(open, &QShortcut::activated, m_setup, &SetupTab::loadProject);

    RunGuarded([&] { Editor::RunStartUp(m_session, *m_ui, options.start); });
    setWindowTitle(FromSystemText(m_session.program.caption));
    showModel();
    // After start-up, which empties the log a problem would be told in.
    m_make->refreshComPorts();
    m_tabs->setCurrentIndex(0);
}

MainWindow::~MainWindow() {
    // The tabs (and the link with its port) go before the EditorUi they report to.
    delete m_tabs;
    m_tabs = nullptr;
}

void MainWindow::buildStatusBar() {
    static constexpr std::array<int, 4> kWidths{400, 160, 230, 40};
    static const std::array<const char*, 4> kTexts{"", "", "Program start error!!", "ZEB"};
    for (std::size_t i = 0; i < m_status.size(); ++i) {
        auto* panel = new QLabel(QString::fromLatin1(kTexts[i]), this);
        panel->setMinimumWidth(kWidths[i]);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        statusBar()->addWidget(panel, i == 0 ? 1 : 0);
        m_status[i] = panel;
    }
    m_ui->setStatusLabels(m_status);
}

void MainWindow::showModel() {
    m_setup->showModel();
    m_make->showModel();
}

} // namespace Lift::Window

namespace Lift::Window {

namespace {

// The project file named in status panel 0 ("Project file: PATH"); empty before any save or
// load.
QString projectFile(const QLabel& panel) {
    const QString prefix = QStringLiteral("Project file:");
    QString text = panel.text();
    if (text.startsWith(prefix))
        text.remove(0, prefix.size());
    return text.trimmed();
}

} // namespace

void MainWindow::check() {
    m_setup->commitOpenCell(); // a label still being typed is checked as shown
    std::vector<Commissioning::Finding> findings;
    bool done = false;
    RunGuarded([&] {
        Editor::BusyCursor busy(*m_ui);
        findings = Commissioning::CheckProject(m_session);
        done = true;
    });
    if (done)
        m_check->showFindings(findings);
}

void MainWindow::printSheet() {
    m_setup->commitOpenCell();
    const QString project = projectFile(statusPanel(0));
    Editor::FileDialogRequest request;
    request.title = "Print sheet";
    request.filter = "PDF file (*.pdf)|*.pdf";
    request.defaultExt = "pdf";
    if (!project.isEmpty())
        request.initialName =
            ToPath(QFileInfo(project).completeBaseName() + QStringLiteral(".pdf"));
    RunGuarded([&] {
        const auto path = m_ui->chooseSaveFile(request);
        if (!path || Editor::IsBlank(*path))
            return;
        const Commissioning::SheetInfo info{
            project.isEmpty() ? std::string("(project not saved)") : ToPath(project),
            QDate::currentDate().toString(Qt::ISODate).toStdString()};
        std::string error;
        bool written = false;
        {
            Editor::BusyCursor busy(*m_ui);
            written = Commissioning::WriteCommissioningSheet(m_session, info, *path, error);
        }
        if (written)
            m_ui->appendLog("Commissioning sheet written: " + *path);
        else
            m_ui->messageBox(error + "\n\n", "Error");
    });
}

void MainWindow::showPlace(const Commissioning::FindingPlace& place) {
    using Kind = Commissioning::FindingPlace::Kind;
    using Commissioning::Setting;
    switch (place.kind) {
    case Kind::Code: {
        m_tabs->setCurrentWidget(m_setup);
        QTableWidget& grid = m_setup->grid();
        grid.setCurrentCell(place.code, 2 + place.table);
        grid.scrollToItem(grid.currentItem());
        grid.setFocus();
        return;
    }
    case Kind::Slot:
        m_tabs->setCurrentWidget(m_setup);
        m_setup->showSlot(place.row, place.column);
        return;
    case Kind::Project:
    case Kind::Library:
        return;
    case Kind::Setting:
        break;
    }
    const auto onSetup = [&](QWidget* control) {
        m_tabs->setCurrentWidget(m_setup);
        control->setFocus();
    };
    const auto onMake = [&](QWidget* control) {
        m_tabs->setCurrentWidget(m_make);
        control->setFocus();
    };
    const auto group = [](QButtonGroup& buttons) -> QWidget* {
        QAbstractButton* checked = buttons.checkedButton();
        return checked ? checked : buttons.buttons().value(0);
    };
    switch (place.setting) {
    case Setting::Version:
        return onSetup(&m_setup->versionCombo());
    case Setting::FloorStyle:
        return onSetup(group(m_setup->floorStyleButtons()));
    case Setting::DirectionStyle:
        return onSetup(group(m_setup->directionStyleButtons()));
    case Setting::DefaultCodeTable:
        return onSetup(group(m_setup->codeTableButtons()));
    case Setting::DisplaySide:
        return onSetup(group(m_setup->displaySideButtons()));
    case Setting::MessagePosition:
        return onSetup(group(m_setup->messagePositionButtons()));
    case Setting::MessageColumns:
        return onSetup(&m_setup->messageColumnBox(0));
    case Setting::DateTime: // its box is never enabled
        m_tabs->setCurrentWidget(m_setup);
        return;
    case Setting::Logo:
        return onMake(m_make->logoOnButton().isChecked()
                          ? static_cast<QWidget*>(&m_make->logoOnButton())
                          : &m_make->logoOffButton());
    case Setting::LogoFile:
        return onMake(&m_make->logoOnButton());
    case Setting::LogoSeconds:
        return onMake(&m_make->logoSecondsCombo());
    case Setting::PowerSaving:
        return onMake(&m_make->powerSavingCombo());
    case Setting::NodeAddress:
        return onMake(&m_make->nodeAddressCombo());
    case Setting::IdCode:
        return onMake(&m_make->idCodeEdit());
    case Setting::RomFileName:
        return onMake(&m_make->romFileNameEdit());
    }
}

} // namespace Lift::Window
