// The "Make" tab of the real main window, on a copy of the bundled data set, with a script
// answering the dialogs.

#include "editor/display_picture.h"
#include "link/link_frame.h"
#include "link/link_station.h"
#include "support/fake_device_tree.h"
#include "support/scripted_ui.h"
#include "support/simulator_thread.h"
#include "support/temp_dir.h"
#include "util/standalone_function.h"
#include "window/bundled_window.h"
#include "window/main_window.h"
#include "window/make_tab.h"
#include "window/picture_label.h"
#include "window/qt_editor_ui.h"
#include "window/rom_file_browser.h"
#include "window/setup_tab.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace Lift::Window {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lift::Test::ReadBytes;
using Lift::Test::WriteBytes;

QImage Picture(const std::string& path) {
    QImage image;
    std::string error;
    EXPECT_TRUE(Editor::LoadDisplayPicture(path, image, error)) << error;
    return image;
}

// Types as the keyboard does, one character a key press (through the edit's validator).
void typeText(QWidget& widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&widget, &press);
    }
}

class MakeTabTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_original = fs::current_path();
        // The demo names its pictures relative to its folder, and the file list starts in
        // the working directory.
        bundle = std::make_unique<Lift::Test::BundledWindow>(
            [](const fs::path& data) { fs::current_path(data); });
    }
    void TearDown() override {
        bundle.reset();
        fs::current_path(m_original);
    }

    std::string work(const std::string& name) const { return bundle->data(name); }
    MakeTab& tab() { return bundle->window().makeTab(); }
    Editor::DisplayProject& project() { return bundle->session().project; }
    QStringList logLines() { return tab().log().toPlainText().split(QLatin1Char('\n')); }
    QStringList fileNames() {
        QStringList names;
        for (int i = 0; i < tab().romBrowser().fileList().count(); ++i)
            names << tab().romBrowser().fileList().item(i)->text();
        return names;
    }

    std::unique_ptr<Lift::Test::BundledWindow> bundle;

private:
    fs::path m_original;
};

TEST_F(MakeTabTest, LogoRadioButtonsAskForAFileAndOffForgetsIt) {
    const QImage blank = Picture(work("SPACE_240x240.bmp"));
    EXPECT_FALSE(tab().logoSecondsCombo().isEnabled());
    EXPECT_EQ(tab().logoPicture().picture(), blank);

    bundle->script.pictureAnswers = {work("demo_logo.bmp")};
    tab().logoOnButton().click();
    EXPECT_EQ(project().logoFile, work("demo_logo.bmp"));
    EXPECT_TRUE(tab().logoSecondsCombo().isEnabled());
    EXPECT_EQ(tab().logoPicture().picture(), Picture(work("demo_logo.bmp")));

    tab().logoOffButton().click();
    EXPECT_FALSE(project().logoEnabled);
    EXPECT_EQ(project().logoFile, "");
    EXPECT_FALSE(tab().logoSecondsCombo().isEnabled());
    EXPECT_EQ(tab().logoPicture().picture(), blank);

    tab().logoOnButton().click(); // asks again; cancelled, the logo is ON without a file
    EXPECT_EQ(bundle->script.dialogs.size(), 2u);
    EXPECT_TRUE(tab().logoOnButton().isChecked());
    EXPECT_TRUE(project().logoEnabled);

    // A logo chosen while OFF is shown, and still after a save.
    tab().logoOffButton().click();
    bundle->script.pictureAnswers = {work("demo_logo.bmp")};
    QTest::mouseClick(&tab().logoPicture(), Qt::LeftButton);
    bundle->script.saveAnswers = {work("logo.lcp")};
    bundle->window().setupTab().saveButton().click();
    EXPECT_EQ(project().logoFile, work("demo_logo.bmp"));
    EXPECT_EQ(tab().logoPicture().picture(), Picture(work("demo_logo.bmp")));
}

TEST_F(MakeTabTest, DemoIsShownEditedAndBuiltAsTheCommandLineBuildsIt) {
    bundle->script.openAnswers = {work("demo.lcp")};
    bundle->window().setupTab().loadProject();
    EXPECT_TRUE(tab().logoOnButton().isChecked());
    EXPECT_EQ(tab().logoSecondsCombo().currentText(), "5");
    EXPECT_EQ(tab().powerSavingCombo().currentText(), "60");
    EXPECT_EQ(tab().idCodeEdit().text(), "HBT1");
    EXPECT_EQ(tab().romFileNameEdit().text(), "HARBOUR.BIN");

    // A label still being typed in the grid is built (and saved) as shown.
    QTableWidget& grid = bundle->window().setupTab().grid();
    grid.setCurrentCell(200, 2);
    grid.editItem(grid.item(200, 2));
    QTest::keyClicks(grid.viewport()->findChild<QLineEdit*>(), "7");
    bundle->script.saveAnswers = {work("demo.lcp")};
    bundle->script.yesNoAnswers = {true}; // overwrite the project
    tab().makeRomButton().click();
    ASSERT_FALSE(bundle->script.messages().empty());
    EXPECT_EQ(bundle->script.messages().back(), "Status | PRM-620BX7 Make ROM OK\n\n");
    EXPECT_EQ(project().codeTables[0][200], "7");
    EXPECT_TRUE(fileNames().contains(QStringLiteral("HARBOUR.BIN"))); // the list was refreshed

    Lift::Test::TempDir cli;
    fs::copy(std::string(LIFT_SOURCE_DIR) + "/data", cli.path(), fs::copy_options::recursive);
    fs::copy_file(work("demo.lcp"), cli.file("demo.lcp"), fs::copy_options::overwrite_existing);
    const std::string command = std::string("'") + LIFT_CLI_PATH + "' make-rom '" +
                                cli.file("demo.lcp") + "' --workdir '" + cli.file("") +
                                "' --program-dir '" + cli.file("") + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command; // NOLINT(cert-env33-c)
    const std::string expected = ReadBytes(cli.file("HARBOUR.BIN"));
    EXPECT_EQ(expected.size(), 64512u);
    EXPECT_TRUE(ReadBytes(work("HARBOUR.BIN")) == expected);

    tab().nodeAddressCombo().setCurrentIndex(54);
    tab().idCodeEdit().clear();
    // One byte a character: the euro sign has none and is refused.
    typeText(tab().idCodeEdit(), QString::fromUtf8("\xC3\x84"
                                                   "B\xE2\x82\xAC"
                                                   "12"));
    EXPECT_EQ(project().nodeAddress, 54);
    EXPECT_EQ(project().idCode, "\xC4"
                                "B12");
    project().nodeAddress = -1; // a loaded value that selects no item
    bundle->window().showModel();
    EXPECT_EQ(tab().nodeAddressCombo().currentIndex(), -1);
}

TEST_F(MakeTabTest, RomFileListShowsTheChosenFoldersImagesAndFillsTheRomFilename) {
    RomFileBrowser& browser = tab().romBrowser();
    EXPECT_EQ(fs::canonical(ToPath(browser.folder())), fs::canonical(work("")));
    // The tree opens on the working folder once the folders above it have been read.
    EXPECT_TRUE(bundle->loop().waitUntil([&] { return browser.showsFolder(); }, 20s));
    const QTreeView& tree = browser.folderTree();
    const auto* model = static_cast<const QFileSystemModel*>(tree.model());
    EXPECT_EQ(model->filePath(tree.currentIndex()), browser.folder());
    for (QModelIndex i = tree.currentIndex().parent(); i.isValid(); i = i.parent())
        EXPECT_TRUE(tree.isExpanded(i)) << model->filePath(i).toStdString();
    fs::create_directory(work("sub"));
    for (const char* name : {"a.bin", "B.Bin", "c.txt", "d.bin.txt", "sub/x.BIN"})
        WriteBytes(work(name), "x");
    browser.refresh();
    EXPECT_EQ(fileNames(), QStringList({QStringLiteral("a.bin"), QStringLiteral("B.Bin")}));
    browser.fileList().setCurrentRow(1);
    EXPECT_EQ(tab().romFileNameEdit().text(), "B.Bin");

    browser.setFolder(QString::fromStdString(work("sub")));
    EXPECT_EQ(fileNames(), QStringList({QStringLiteral("x.BIN")}));
    browser.fileList().setCurrentRow(0);
    EXPECT_EQ(project().romFileName, "x.BIN"); // the name only, not the folder
}

TEST_F(MakeTabTest, LogAndBoxesShowFileNamesAsTheSystemWritesThem) {
    const std::string missing = work("caf\xC3\xA9.bin");
    bundle->script.openAnswers = {missing};
    tab().station().link().SpeedButton9Click(1);
    EXPECT_TRUE(tab().log().toPlainText().contains(FromPath(missing)))
        << tab().log().toPlainText().toStdString();

    // Real boxes; a stray byte (a label is one Latin-1 byte a letter) shows as its letter.
    bundle->window().ui().setScript(nullptr);
    const auto boxText = [](const std::function<void()>& show) {
        QString text;
        QTimer::singleShot(0, [&text] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text = box->text();
                box->accept();
            }
        });
        show();
        return text;
    };
    const std::string expected = missing + " \"\xC3\x84\"";
    EXPECT_EQ(
        ToPath(boxText([&] { bundle->window().ui().messageBox(missing + " \"\xC4\"", "E"); })),
        expected);
    EXPECT_EQ(ToPath(boxText([&] {
                  YVclUtil::ShowErrMsgBox_Printf("TYIniFile", "%s \"\xC4\"", missing.c_str());
              })),
              expected);
}

TEST_F(MakeTabTest, ConnectUploadAndSyncWithTheSimulatedController) {
    std::string rom(64512, '\0');
    for (std::size_t i = 0; i < rom.size(); ++i)
        rom[i] = static_cast<char>((i * 7919) >> 3);
    WriteBytes(work("image.bin"), rom);
    EXPECT_FALSE(tab().uploadButton().isEnabled());
    // Refused by the component: nothing is opened in its place.
    tab().comPortCombo().setCurrentIndex(16);
    tab().connectButton().click();
    EXPECT_EQ(bundle->script.messages(), std::vector<std::string>{"PcUart1 | Invalid value !!!"});
    EXPECT_FALSE(tab().station().PcUart1().Opened());
    EXPECT_EQ(tab().connectButton().text(), "Connect");
    EXPECT_TRUE(tab().comPortCombo().isEnabled());
    EXPECT_EQ(logLines().back(), "===> Open COM 17 failed: invalid port number <===");

    // The simulator stands in for a USB adapter, remembered as COM 3, plugged in while the
    // window is open and found when the list is opened.
    constexpr const char* kAdapter = "usb-Lift_Service_Cable_0042-if00-port0";
    const Lift::Test::FakeDeviceTree tree(bundle->data("devices"));
    WriteBytes(work("com-ports"), std::string("3 ") + kAdapter + "\n");
    const auto openList = [&] {
        tab().comPortCombo().showPopup();
        tab().comPortCombo().hidePopup();
        return tab().comPortCombo().itemText(2);
    };
    Link::SimulatorConfig config;
    config.askInterval = 50ms;
    const auto run = [&](QPushButton& button, Link::LinkOutcome expected) {
        Lift::Test::SimulatorThread sim(config);
        EXPECT_EQ(openList(), "COM 3");
        tree.plug("ttyUSB0", sim.path(), kAdapter);
        EXPECT_EQ(openList().toStdString(), std::string("COM 3 (") + kAdapter + ")");
        tab().comPortCombo().setCurrentIndex(2);
        tab().connectButton().click();
        EXPECT_EQ(tab().connectButton().text(), "Disconnect");
        EXPECT_FALSE(tab().comPortCombo().isEnabled());
        EXPECT_EQ(logLines().back(), ">>> Open COM 3 <<<");
        button.click();
        EXPECT_TRUE(bundle->loop().waitUntil(
            [&] { return tab().station().link().outcome() != Link::LinkOutcome::None; }, 120s));
        EXPECT_EQ(tab().station().link().outcome(), expected);
        EXPECT_TRUE(tab().uploadButton().isEnabled() && tab().syncButton().isEnabled());
        const QStringList lines = logLines();
        tab().connectButton().click();
        EXPECT_EQ(logLines().back(), ">>> Close COM 3 <<<");
        EXPECT_FALSE(tab().uploadButton().isEnabled() || tab().syncButton().isEnabled());
        EXPECT_EQ(sim.join(), Link::PtyController::Outcome::Finished);
        tree.unplug("ttyUSB0", kAdapter);
        return std::make_pair(lines, sim.sim().image());
    };

    tab().msgOnBox().setChecked(true);
    bundle->script.openAnswers = {work("image.bin")};
    const auto [uploadLog, image] = run(tab().uploadButton(), Link::LinkOutcome::UploadFinished);
    EXPECT_EQ(tab().progressBar().value(), 975);
    // MSG ON: a line a block (the lines' wording is the link's business).
    ASSERT_GE(uploadLog.size(), 2 + 976 + 2) << uploadLog.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(uploadLog[0], "*** UpLoad ROM image ***");
    std::vector<std::uint8_t> sent(rom.begin(), rom.begin() + 976 * 64);
    Link::ToggleHeaderMask(sent);
    EXPECT_TRUE(image == sent);

    tab().msgOnBox().setChecked(false);
    const auto syncLog = run(tab().syncButton(), Link::LinkOutcome::SyncFinished).first;
    EXPECT_EQ(syncLog, QStringList({QStringLiteral("*** Date & Time Sync. ***"),
                                    QStringLiteral("=== Waiting PRM-620BX7 respond.... ==="),
                                    QStringLiteral("===> Date & Time Sync. finish <===")}));
}

} // namespace
} // namespace Lift::Window
