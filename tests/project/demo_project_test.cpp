#include "project/project_file.h"

#include "editor/start_up.h"
#include "support/bundled_data.h"
#include "support/error_box_recorder.h"
#include "support/scripted_ui.h"
#include "util/ty_ini_file.h"

#include <gtest/gtest.h>

using namespace Lift;

TEST(DemoProject, LoadsWithoutFallbacksOrMessages) {
    Lift::Test::BundledDataCopy data;
    Lift::Test::ErrorBoxRecorder boxes;

    Editor::EditorSession session;
    Lift::Test::ScriptedUi ui;
    ASSERT_TRUE(Editor::RunStartUp(session, ui, {data.path(), data.path()}));
    ASSERT_TRUE(Project::LoadProjectFrom(session, ui, "demo.lcp"));
    EXPECT_TRUE(ui.messages().empty());
    EXPECT_EQ(boxes.count(), 0u);

    // Every slot holds exactly what the file names: no picture needed the default folder.
    YVclUtil::TYIniFile ini(data.file("demo.lcp"));
    const auto& p = session.project;
    for (int row = 0; row < Editor::kSlotRows; ++row) {
        for (int column = 0; column < Editor::kSlotColumns; ++column) {
            const std::string stored =
                ini.ReadString("LiftStateImage", Editor::LiftStateKey(row, column), "");
            ASSERT_FALSE(stored.empty());
            // The data-set tests check that each named file exists.
            EXPECT_EQ(p.liftStatePictures[static_cast<size_t>(row)][static_cast<size_t>(column)],
                      stored);
        }
    }
    EXPECT_TRUE(p.logoEnabled);
    EXPECT_EQ(p.logoFile, ini.ReadString("GLOBAL", "TITLEFILENAME_C", "?"));
    EXPECT_EQ(p.versionName, "ZEB-STD");
    EXPECT_EQ(session.program.settings.versionSettings.encode, 1);
    EXPECT_FALSE(p.allCodeTablesBlank());
    EXPECT_EQ(ui.status[0], "Project file: demo.lcp");
    EXPECT_EQ(ui.busyDepth, 0);
}
