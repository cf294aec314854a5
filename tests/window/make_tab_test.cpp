// The "Make" tab of the real main window, on a copy of the bundled data set, with a script
// answering the dialogs.

#include "editor/display_picture.h"
#include "editor/window/main_window.h"
#include "editor/window/make_tab.h"
#include "editor/window/picture_label.h"
#include "editor/window/qt_editor_ui.h"
#include "editor/window/rom_file_browser.h"
#include "editor/window/setup_tab.h"
#include "link/link_frame.h"
#include "link/link_station.h"
#include "link/pty_controller.h"
#include "serial/port_table.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "util/qt_main_loop.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace Lift::Window {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lift::Test::ReadBytes;
using Lift::Test::WriteBytes;

constexpr unsigned kTestPort = 3;

QImage Picture(const std::string& path) {
    QImage image;
    std::string error;
    EXPECT_TRUE(Editor::LoadDisplayPicture(path, image, error)) << error;
    return image;
}

// The simulated controller on a pseudo-terminal, served on its own thread.
class SimulatorThread {
public:
    SimulatorThread() : m_controller(config()) {
        if (!m_controller.open())
            throw std::runtime_error(m_controller.error());
        m_thread = std::thread([this] { m_outcome = m_controller.run(2000ms, 120s); });
    }
    ~SimulatorThread() {
        m_controller.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    const std::string& path() const { return m_controller.path(); }
    Link::PtyController::Outcome join() {
        m_thread.join();
        return m_outcome;
    }
    const Link::ControllerSimulator& sim() const { return m_controller.simulator(); }

private:
    static Link::SimulatorConfig config() {
        Link::SimulatorConfig c;
        c.askInterval = 50ms;
        return c;
    }
    Link::PtyController m_controller;
    Link::PtyController::Outcome m_outcome = Link::PtyController::Outcome::Failed;
    std::thread m_thread;
};

class MakeTabTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_original = fs::current_path();
        fs::copy(std::string(LIFT_SOURCE_DIR) + "/data", work.path(), fs::copy_options::recursive);
        // The demo project names its pictures relative to its folder.
        fs::current_path(work.path());
        WindowOptions options;
        options.start.programDirectory = work.file("");
        options.start.startDirectory = work.path().string();
        options.script = &script;
        window = std::make_unique<MainWindow>(loop, options);
    }
    void TearDown() override {
        window.reset();
        Serial::SetComPortDevicePath(kTestPort, "");
        fs::current_path(m_original);
    }

    MakeTab& tab() { return window->makeTab(); }
    Editor::DisplayProject& project() { return window->session().project; }
    void loadDemo() {
        script.openAnswers = {work.file("demo.lcp")};
        window->setupTab().loadProject();
        ASSERT_EQ(project().romFileName, "HARBOUR.BIN") << "the demo did not load";
    }
    int pictureDialogs() const {
        return static_cast<int>(
            std::count_if(script.calls.begin(), script.calls.end(),
                          [](auto& c) { return c.rfind("picture-dialog: ", 0) == 0; }));
    }
    QStringList logLines() { return tab().log().toPlainText().split(QLatin1Char('\n')); }
    QStringList fileNames() {
        QStringList names;
        for (int i = 0; i < tab().romBrowser().fileList().count(); ++i)
            names << tab().romBrowser().fileList().item(i)->text();
        return names;
    }
    bool waitForOutcome() {
        return loop.waitUntil(
            [this] { return tab().station().link().outcome() != Link::LinkOutcome::None; }, 120s);
    }

    Lift::Test::TempDir work;
    Lift::Test::ScriptedUi script;
    Util::QtMainLoop loop;
    std::unique_ptr<MainWindow> window;

private:
    fs::path m_original;
};

TEST_F(MakeTabTest, LogoRadioButtonsAskForAFileAndOffForgetsIt) {
    const QImage blank = Picture(work.file("SPACE_240x240.bmp"));
    EXPECT_TRUE(tab().logoOffButton().isChecked());
    EXPECT_FALSE(tab().logoSecondsCombo().isEnabled());
    EXPECT_EQ(tab().logoPicture().picture(), blank);

    script.pictureAnswers = {work.file("demo_logo.bmp")};
    tab().logoOnButton().click();
    EXPECT_TRUE(project().logoEnabled);
    EXPECT_EQ(project().logoFile, work.file("demo_logo.bmp"));
    EXPECT_TRUE(tab().logoSecondsCombo().isEnabled());
    EXPECT_EQ(tab().logoPicture().picture(), Picture(work.file("demo_logo.bmp")));

    tab().logoOffButton().click();
    EXPECT_FALSE(project().logoEnabled);
    EXPECT_EQ(project().logoFile, "");
    EXPECT_FALSE(tab().logoSecondsCombo().isEnabled());
    EXPECT_EQ(tab().logoPicture().picture(), blank);

    tab().logoOnButton().click(); // asks again; the user cancels and the logo is ON, empty
    EXPECT_EQ(pictureDialogs(), 2);
    EXPECT_TRUE(tab().logoOnButton().isChecked());
    EXPECT_TRUE(project().logoEnabled);
    EXPECT_EQ(project().logoFile, "");
    EXPECT_TRUE(script.messages().empty());
}

TEST_F(MakeTabTest, LoadedProjectIsShownAndEditsGoStraightIntoIt) {
    loadDemo();
    EXPECT_TRUE(tab().logoOnButton().isChecked());
    EXPECT_EQ(tab().logoSecondsCombo().currentText(), "5");
    EXPECT_EQ(tab().powerSavingCombo().currentText(), "60");
    EXPECT_EQ(tab().nodeAddressCombo().currentText(), "1");
    EXPECT_EQ(tab().idCodeEdit().text(), "HBT1");
    EXPECT_EQ(tab().romFileNameEdit().text(), "HARBOUR.BIN");

    tab().nodeAddressCombo().setCurrentIndex(54);
    tab().powerSavingCombo().setCurrentIndex(16);
    tab().logoSecondsCombo().setCurrentIndex(29);
    tab().idCodeEdit().setText(QString::fromLatin1("\xC4"
                                                   "B12")); // one byte a character
    tab().romFileNameEdit().setText(QStringLiteral("lobby.bin"));
    EXPECT_EQ(project().nodeAddress, 54);
    EXPECT_EQ(project().powerSavingIndex, 16);
    EXPECT_EQ(project().logoSecondsIndex, 29);
    EXPECT_EQ(project().idCode, "\xC4"
                                "B12");
    EXPECT_EQ(project().romFileName, "lobby.bin");

    project().nodeAddress = -1; // a loaded value that selects no item
    window->showModel();
    EXPECT_EQ(tab().nodeAddressCombo().currentIndex(), -1);
    EXPECT_EQ(project().nodeAddress, -1);
}

TEST_F(MakeTabTest, MakeRomGivesTheSameImageAsTheCommandLine) {
    loadDemo();
    script.saveAnswers = {work.file("demo.lcp")};
    script.yesNoAnswers = {true}; // overwrite the project
    tab().makeRomButton().click();
    const auto messages = script.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), "Status | PRM-620BX7 Make ROM OK\n\n");
    EXPECT_TRUE(fileNames().contains(QStringLiteral("HARBOUR.BIN"))); // the list was refreshed

    Lift::Test::TempDir cli;
    fs::copy(std::string(LIFT_SOURCE_DIR) + "/data", cli.path(), fs::copy_options::recursive);
    const std::string command = std::string("'") + LIFT_CLI_PATH + "' make-rom '" +
                                cli.file("demo.lcp") + "' --workdir '" + cli.file("") +
                                "' --program-dir '" + cli.file("") + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command; // NOLINT(cert-env33-c)
    const std::string expected = ReadBytes(cli.file("HARBOUR.BIN"));
    ASSERT_EQ(expected.size(), 64512u);
    EXPECT_TRUE(ReadBytes(work.file("HARBOUR.BIN")) == expected);
}

TEST_F(MakeTabTest, RomFileListShowsImagesOfTheChosenFolderAndFillsTheRomFilename) {
    EXPECT_EQ(fs::canonical(ToPath(tab().romBrowser().folder()).c_str()),
              fs::canonical(work.path()));
    fs::create_directory(work.file("sub"));
    for (const char* name : {"a.bin", "B.Bin", "c.txt", "d.bin.txt", "sub/x.BIN"})
        WriteBytes(work.file(name), "x");
    tab().romBrowser().refresh();
    EXPECT_EQ(fileNames(), QStringList({QStringLiteral("a.bin"), QStringLiteral("B.Bin")}));

    tab().romBrowser().fileList().setCurrentRow(1);
    EXPECT_EQ(tab().romFileNameEdit().text(), "B.Bin");
    EXPECT_EQ(project().romFileName, "B.Bin");

    tab().romBrowser().setFolder(QString::fromStdString(work.file("sub")));
    EXPECT_EQ(fileNames(), QStringList({QStringLiteral("x.BIN")}));
    tab().romBrowser().fileList().setCurrentRow(0);
    EXPECT_EQ(project().romFileName, "x.BIN"); // the name only, not the folder
}

TEST_F(MakeTabTest, ConnectUploadAndSyncWithTheSimulatedController) {
    std::string rom(64512, '\0');
    std::uint32_t x = 7;
    for (auto& c : rom) {
        x = x * 1103515245 + 12345;
        c = static_cast<char>(x >> 24);
    }
    WriteBytes(work.file("image.bin"), rom);

    auto connectTo = [&](const SimulatorThread& sim) {
        Serial::SetComPortDevicePath(kTestPort, sim.path());
        tab().showComPortNames();
        EXPECT_EQ(tab().comPortCombo().itemText(kTestPort - 1).toStdString(),
                  "COM 3 (" + sim.path() + ")");
        tab().comPortCombo().setCurrentIndex(kTestPort - 1);
        tab().connectButton().click();
        EXPECT_EQ(tab().connectButton().text(), "Disconnect");
        EXPECT_FALSE(tab().comPortCombo().isEnabled());
        EXPECT_TRUE(tab().uploadButton().isEnabled());
        EXPECT_TRUE(tab().syncButton().isEnabled());
        EXPECT_EQ(logLines().back(), ">>> Open COM 3 <<<");
    };
    auto disconnect = [&] {
        tab().connectButton().click();
        EXPECT_EQ(logLines().back(), ">>> Close COM 3 <<<");
        EXPECT_EQ(tab().connectButton().text(), "Connect");
        EXPECT_TRUE(tab().comPortCombo().isEnabled());
        EXPECT_FALSE(tab().uploadButton().isEnabled());
        EXPECT_FALSE(tab().syncButton().isEnabled());
    };
    EXPECT_EQ(tab().comPortCombo().itemText(16), "COM 17"); // refused by the component
    EXPECT_FALSE(tab().uploadButton().isEnabled());
    EXPECT_FALSE(tab().syncButton().isEnabled());

    {
        SimulatorThread sim;
        connectTo(sim);
        tab().msgOnBox().setChecked(true);
        script.openAnswers = {work.file("image.bin")};
        tab().uploadButton().click();
        EXPECT_FALSE(tab().uploadButton().isEnabled());
        ASSERT_TRUE(waitForOutcome());
        EXPECT_EQ(tab().station().link().outcome(), Link::LinkOutcome::UploadFinished);
        EXPECT_EQ(tab().progressBar().value(), 975);
        const QStringList lines = logLines();
        ASSERT_EQ(lines.size(), 2 + 976 + 2) << lines.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(lines[0], "*** UpLoad ROM image ***");
        EXPECT_TRUE(lines[2].startsWith(QStringLiteral("===> Send data block: 1,CRC = ")));
        EXPECT_TRUE(lines[977].startsWith(QStringLiteral("===> Send data block: 976,CRC = ")));
        EXPECT_EQ(lines[978], "===> UpLoad ROM image finish.<===");
        EXPECT_TRUE(lines[979].startsWith(QStringLiteral("Time = ")));
        EXPECT_TRUE(tab().uploadButton().isEnabled());
        disconnect();
        EXPECT_EQ(sim.join(), Link::PtyController::Outcome::Finished);
        std::vector<std::uint8_t> sent(rom.begin(), rom.begin() + 976 * 64);
        Link::ToggleHeaderMask(sent);
        EXPECT_TRUE(sim.sim().image() == sent);
    }
    {
        SimulatorThread sim;
        connectTo(sim);
        tab().msgOnBox().setChecked(false);
        tab().syncButton().click();
        ASSERT_TRUE(waitForOutcome());
        EXPECT_EQ(tab().station().link().outcome(), Link::LinkOutcome::SyncFinished);
        EXPECT_EQ(logLines(), QStringList({QStringLiteral("*** Date & Time Sync. ***"),
                                           QStringLiteral("=== Waiting PRM-620BX7 respond.... ==="),
                                           QStringLiteral("===> Date & Time Sync. finish <===")}));
        disconnect();
        EXPECT_EQ(sim.join(), Link::PtyController::Outcome::Finished);
        EXPECT_EQ(sim.sim().result(), Link::ControllerSimulator::Result::DateTime);
    }
}

} // namespace
} // namespace Lift::Window
