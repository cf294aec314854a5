// The Setup tab driven through its real widgets: start-up, the grid, the floor-label
// preview, the slot pictures; the check and sheet buttons, and error boxes from other threads.
#include "editor/display_picture.h"
#include "editor/extract_glb_item.h"
#include "preview/project_pieces.h"
#include "support/error_box_recorder.h"
#include "window/bundled_window.h"
#include "window/check_dialog.h"
#include "window/display_preview_box.h"
#include "window/make_tab.h"
#include "window/picture_label.h"
#include "window/qt_editor_ui.h"
#include "window/setup_tab.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <QWidget>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace Lift::Test {
namespace {

using Editor::PictureBox;

std::string cell(Window::SetupTab& tab, int row, int column) {
    return tab.grid().item(row, column)->text().toStdString();
}

// Types a label into a code-table cell as the in-place editor does, then clicks the cell.
void typeAndClick(Window::SetupTab& tab, int code, int table, const char* text) {
    QTableWidget& grid = tab.grid();
    QTableWidgetItem* item = grid.item(code, 2 + table);
    item->setText(QString::fromLatin1(text));
    grid.scrollToItem(item);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.visualItemRect(item).center());
}

QImage glyph(BundledWindow& w, int style, char c) {
    const std::string path = Editor::ExtractGlbItem(w.session().program.glbData, w.data(),
                                                    style + 1, static_cast<unsigned char>(c));
    QImage image;
    std::string error;
    EXPECT_TRUE(Editor::LoadDisplayPicture(path, image, error)) << error;
    return image.convertToFormat(QImage::Format_RGB32);
}

// True when preview columns [left, left + 32) show the glyph's columns 0..31.
bool showsGlyphAt(const QImage& preview, const QImage& g, int left) {
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 32; ++x)
            if (preview.pixel(left + x, y) != g.pixel(x, y))
                return false;
    return true;
}

bool hasBlack(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                return true;
    return false;
}

TEST(SetupTabStartUp, ShowsTheBundledDataAndTheInitialProject) {
    BundledWindow w;
    Window::MainWindow& win = w.window();
    Window::SetupTab& tab = win.setupTab();
    EXPECT_TRUE(win.startUpCompleted());

    EXPECT_EQ(win.statusPanel(2).text(), "P620BX7.GLB / ");
    EXPECT_EQ(win.tabs().currentIndex(), 0);
    EXPECT_TRUE(w.script.messages().empty());

    QTableWidget& grid = tab.grid();
    ASSERT_EQ(grid.rowCount(), 256);
    ASSERT_EQ(grid.columnCount(), 5);
    const char* headers[] = {"bit [ 5..0 ]", "HEX (DEC)", "CTBL0", "CTBL1", "CTBL2"};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid.horizontalHeaderItem(c)->text().toStdString(), headers[c]);
    EXPECT_EQ(cell(tab, 255, 1), "FF (255 )");
    EXPECT_EQ(cell(tab, 31, 0), "011111");
    EXPECT_FALSE(grid.item(3, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(grid.item(3, 2)->flags() & Qt::ItemIsEditable);

    for (int s = 0; s < 4; ++s)
        EXPECT_TRUE(hasBlack(win.ui().pictureBox(PictureBox::FloorStylePreview, s)->picture()));
    for (int s = 0; s < 5; ++s)
        EXPECT_TRUE(hasBlack(win.ui().pictureBox(PictureBox::DirectionStylePreview, s)->picture()));
    for (int p = 0; p < 3; ++p)
        EXPECT_TRUE(win.ui().pictureBox(PictureBox::MessageLayout, p)->hasPicture());
    for (int n = 14; n <= 53; ++n)
        EXPECT_TRUE(tab.slotPicture(n).hasPicture()) << "Image" << n;

    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tab.messageColumnBox(i).isChecked(), i < 2) << i;

    // A loaded project's choices show in the controls.
    Editor::DisplayProject& p = w.session().project;
    p.defaultCodeTable = 2;
    p.floorStyle = 3;
    p.directionStyle = 4;
    p.messagePosition = 0;
    p.displaySide = 2;
    p.messageColumnBoxes = {true, false, false, true};
    win.showModel();
    EXPECT_EQ(tab.codeTableButtons().checkedId(), 2);
    EXPECT_EQ(tab.floorStyleButtons().checkedId(), 3);
    EXPECT_EQ(tab.directionStyleButtons().checkedId(), 4);
    EXPECT_EQ(tab.messagePositionButtons().checkedId(), 0);
    EXPECT_EQ(tab.displaySideButtons().checkedId(), 2);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tab.messageColumnBox(i).isChecked(), i == 0 || i == 3) << i;
    EXPECT_EQ(tab.versionCombo().currentText(), "ZEB-STD");

    // The Gray version relabels the input patterns.
    tab.versionCombo().setCurrentIndex(tab.versionCombo().findText("ZEB-GRY"));
    EXPECT_EQ(w.session().project.versionName, "ZEB-GRY");
    EXPECT_EQ(win.statusPanel(1).text(), "Version: ZEB-GRY");
    EXPECT_EQ(cell(tab, 31, 0), "010000");
    tab.versionCombo().setCurrentIndex(0);
    EXPECT_EQ(cell(tab, 31, 0), "011111");
}

TEST(SetupTabPreview, LabelsShowTheStyleGlyphsOrTheUserPicture) {
    BundledWindow w;
    Window::SetupTab& tab = w.window().setupTab();
    const QImage five = glyph(w, 0, '5');

    typeAndClick(tab, 5, 0, " 5 ");
    EXPECT_EQ(w.session().project.codeTables[0][5], " 5 ");
    const QImage single = tab.floorLabelPreview().picture();
    ASSERT_EQ(single.size(), QSize(64, 64));
    EXPECT_TRUE(showsGlyphAt(single, five, 16));
    EXPECT_EQ(single.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(single.pixel(63, 63), qRgb(255, 255, 255));

    typeAndClick(tab, 6, 1, "05");
    EXPECT_EQ(tab.floorLabelPreview().picture(), single);

    tab.floorStyleButtons().button(2)->click();
    EXPECT_EQ(w.session().project.floorStyle, 2);
    typeAndClick(tab, 12, 2, "12");
    const QImage twelve = tab.floorLabelPreview().picture();
    EXPECT_TRUE(showsGlyphAt(twelve, glyph(w, 2, '1'), 0));
    EXPECT_TRUE(showsGlyphAt(twelve, glyph(w, 2, '2'), 32));

    // A blank cell leaves the preview alone.
    QTest::mouseClick(tab.grid().viewport(), Qt::LeftButton, {},
                      tab.grid().visualItemRect(tab.grid().item(40, 2)).center());
    EXPECT_EQ(tab.floorLabelPreview().picture(), twelve);

    // Longer labels show the user picture of the current style.
    typeAndClick(tab, 3, 0, "p1a");
    QImage expected;
    std::string error;
    ASSERT_TRUE(Editor::LoadDisplayPicture(w.data("DefaultImage2/UserDefine/Floor/Style2/P1A.bmp"),
                                           expected, error));
    EXPECT_EQ(tab.floorLabelPreview().picture(), expected);

    // No such picture: unchanged, and no complaint.
    typeAndClick(tab, 4, 0, "B99");
    EXPECT_EQ(tab.floorLabelPreview().picture(), expected);
    EXPECT_TRUE(w.script.messages().empty());
}

TEST(SetupTabDisplayPreview, FollowsTheCellWhileTypingEveryEditAndItsControls) {
    BundledWindow w;
    Window::SetupTab& tab = w.window().setupTab();
    Window::DisplayPreviewBox& box = tab.displayPreview();
    box.animation().stop(); // nothing may wait for the next animation step
    Preview::ScreenState state;
    state.table = 1;
    state.code = 5;
    const auto expected = [&](std::optional<std::string> label = std::nullopt) {
        Preview::ProjectPieces pieces(w.session());
        Preview::ScreenState s = state;
        s.label = std::move(label);
        return Rom::BlackPictureImage(Preview::PreviewScreen(pieces, s).screen,
                                      Window::DisplayPreviewBox::kScale);
    };
    const auto shown = [&] { return box.screen().picture(); };
    QTableWidget& grid = tab.grid();
    grid.setCurrentCell(5, 3);
    EXPECT_EQ(shown(), expected());

    grid.editItem(grid.item(5, 3));
    auto* editor = grid.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, "7");
    EXPECT_EQ(w.session().project.codeTables[1][5], "");
    EXPECT_EQ(shown(), expected("7"));
    QTest::keyClick(editor, Qt::Key_Escape);
    EXPECT_EQ(shown(), expected());

    grid.item(5, 3)->setText(QStringLiteral("12"));
    EXPECT_EQ(shown(), expected());
    EXPECT_NE(shown(), expected(""));

    tab.directionStyleButtons().button(1)->click(); // a moving arrow
    box.directionChoice().setCurrentIndex(1);
    for (int i = 0; i < 5; ++i)
        box.advance();
    state.travelling = true;
    state.step = 5;
    EXPECT_EQ(shown(), expected());
    box.liftStateChoice().setCurrentIndex(1); // row 0; the animation starts again
    for (int i = 0; i < 13; ++i)
        box.advance();
    state.liftState = 0;
    state.step = 13;
    EXPECT_EQ(shown(), expected());
    box.logoChoice().setChecked(true); // the bundled start has the logo OFF
    EXPECT_NE(box.problemsText().text().indexOf(QStringLiteral("logo is OFF")), -1);
}

TEST(SetupTabSlots, DoubleClickEditsTheSlotOfTheScreenPosition) {
    BundledWindow w;
    Window::SetupTab& tab = w.window().setupTab();
    const std::string fire = w.data("DefaultImage2/LiftState/FIRE-16x64_EN.bmp");
    const std::string full = w.data("DefaultImage2/LiftState/FULL-16x64_CHT.bmp");
    auto& slots = w.session().project.liftStatePictures;

    struct Case {
        int picture, row, column;
    };
    for (const Case c :
         {Case{14, 0, 1}, Case{16, 0, 0}, Case{17, 0, 2}, Case{36, 5, 0}, Case{53, 9, 2}}) {
        const std::string chosen = c.picture % 2 ? fire : full;
        w.script.pictureAnswers.push_back(chosen);
        QTest::mouseDClick(&tab.slotPicture(c.picture), Qt::LeftButton);
        EXPECT_EQ(slots[c.row][c.column], chosen) << "Image" << c.picture;
        QImage shown;
        std::string error;
        ASSERT_TRUE(Editor::LoadDisplayPicture(chosen, shown, error));
        EXPECT_EQ(tab.slotPicture(c.picture).picture(), shown) << "Image" << c.picture;
    }

    // Cancelled, or a file that is no picture: the slot keeps its path.
    const std::string before = slots[0][1];
    QTest::mouseDClick(&tab.slotPicture(14), Qt::LeftButton);
    WriteBytes(w.data("broken.bmp"), "BM not really");
    w.script.pictureAnswers.push_back(w.data("broken.bmp"));
    QTest::mouseDClick(&tab.slotPicture(14), Qt::LeftButton);
    EXPECT_EQ(slots[0][1], before);
    ASSERT_EQ(w.script.messages().size(), 1u);
    EXPECT_NE(w.script.messages()[0].find("broken.bmp"), std::string::npos);
}

// ---- Error boxes a component raises on another thread ----------------------------------

// Notes whether the raising thread had already gone on when the box was shown.
struct ProbeUi : ScriptedUi {
    std::atomic<bool> raiserReturned{false};
    bool returnedBeforeShown = false;
    void messageBox(const std::string& text, const std::string& caption) override {
        returnedBeforeShown = returnedBeforeShown || raiserReturned.load();
        ScriptedUi::messageBox(text, caption);
    }
};

TEST(QtEditorUiErrorBox, AnotherThreadWaitsUntilItsBoxIsShownAndNoneIsLost) {
    EnsureQApplication();
    ErrorBoxRecorder before; // the sink the window's replaces
    ProbeUi probe;
    QWidget window;
    auto ui = std::make_unique<Window::QtEditorUi>(&window);
    ui->setScript(&probe);
    ui->installErrorBoxSink();

    std::thread monitor([&] {
        YVclUtil::ShowErrMsgBox_Printf("TCommEventMonitorThread", "Err: %s", "lost the port");
        probe.raiserReturned = true;
    });
    while (!probe.raiserReturned)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    monitor.join();
    EXPECT_FALSE(probe.returnedBeforeShown);
    YVclUtil::ShowErrMsgBox_Printf("TYIniFile", "Err: here"); // the window's own: at once
    EXPECT_EQ(probe.messages(),
              (std::vector<std::string>{"TCommEventMonitorThread | Err: lost the port",
                                        "TYIniFile | Err: here"}));

    // A thread that took the window's sink before the window went hands its box to the sink
    // from before instead of reaching for the window.
    YVclUtil::ErrorBoxSink windows = YVclUtil::SetErrorBoxSink({});
    YVclUtil::SetErrorBoxSink(windows);
    ui.reset();
    std::thread late([&] { windows("Late", "Err: after the window"); });
    late.join();
    ASSERT_EQ(before.count(), 1u);
    EXPECT_EQ(before.at(0).text, "Err: after the window");
    EXPECT_EQ(probe.messages().size(), 2u);
}

// ---- Check and Print sheet: each finding's place in the controls, the sheet to the file the
// dialog names ----------------------------------------------------------------------------

// Chooses the first finding whose place reads `place` in the list; false when there is none.
bool choose(Window::CheckDialog& dialog, const QString& place) {
    QTreeWidget& list = dialog.list();
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->text(1) == place) {
            list.setCurrentItem(list.topLevelItem(i));
            return true;
        }
    return false;
}

TEST(WindowCheck, FindingsShowTheirPlaceAndTheSheetIsWritten) {
    BundledWindow w;
    Window::MainWindow& window = w.window();
    Editor::DisplayProject& p = w.session().project;
    p.liftStatePictures[7][3] = w.data("gone.bmp");
    p.nodeAddress = -1;

    // Still being typed when Check is pressed: checked as shown. No user picture has the name.
    QTableWidget& grid = window.setupTab().grid();
    grid.setCurrentCell(10, 3);
    grid.editItem(grid.item(10, 3));
    QTest::keyClicks(grid.viewport()->findChild<QLineEdit*>(), "NOWHERE");
    window.setupTab().checkButton().click();
    Window::CheckDialog& dialog = window.checkDialog();
    ASSERT_TRUE(dialog.isVisible());

    ASSERT_TRUE(choose(dialog, "CTBL1 0A (10 )"));
    EXPECT_EQ(window.tabs().currentWidget(), &window.setupTab());
    EXPECT_EQ(window.setupTab().grid().currentRow(), 10);
    EXPECT_EQ(window.setupTab().grid().currentColumn(), 3);

    ASSERT_TRUE(choose(dialog, "Node Address"));
    EXPECT_EQ(window.tabs().currentWidget(), &window.makeTab());
    EXPECT_EQ(window.focusWidget(), &window.makeTab().nodeAddressCombo());

    ASSERT_TRUE(choose(dialog, "slot (7, 3) VIP"));
    EXPECT_EQ(window.focusWidget(),
              static_cast<QWidget*>(&window.setupTab().slotPicture(14 + 7 * 4 + 1)));

    const std::string sheet = w.data("site.pdf");
    w.script.saveAnswers.push_back(sheet);
    window.setupTab().sheetButton().click();
    EXPECT_EQ(ReadBytes(sheet).substr(0, 5), "%PDF-");
}

} // namespace
} // namespace Lift::Test
