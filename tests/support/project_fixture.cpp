#include "support/project_fixture.h"

#include "editor/start_up.h"

#include <filesystem>

namespace Lift::Test {

ProjectFixture::ProjectFixture() {
    for (int row = 0; row < Editor::kSlotRows; ++row)
        for (int column = 0; column < Editor::kSlotColumns; ++column)
            addProgramFile("DefaultImage2/LiftState/" +
                           Editor::DefaultLiftStateFileName(row, column));
    Editor::ProgramState& p = session.program;
    p.programDirectory = programDir();
    p.startDirectory = workDir();
    p.blankPicturePath = work(Editor::kBlankPictureName);
    p.userFloorPictureRoot = p.programDirectory + "DefaultImage2/UserDefine/Floor/Style";
    Editor::SetDefaultLiftStatePictures(session);
}

std::string ProjectFixture::addProgramFile(const std::string& relative, const std::string& bytes) {
    const std::filesystem::path path = m_program.path() / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteBytes(path.string(), bytes);
    return path.string();
}

} // namespace Lift::Test
