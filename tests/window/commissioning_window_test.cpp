// Check and Print sheet from the window: the findings list shows each finding's place in the
// controls, and the sheet goes to the file the dialog names.
#include "window/bundled_window.h"
#include "window/check_dialog.h"
#include "window/make_tab.h"
#include "window/picture_label.h"
#include "window/setup_tab.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace Lift::Test {
namespace {

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
