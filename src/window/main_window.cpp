#include "window/main_window.h"

#include "window/make_tab.h"
#include "window/qt_editor_ui.h"
#include "window/run_guarded.h"
#include "window/setup_tab.h"

#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>

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
