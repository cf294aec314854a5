#pragma once
// A session on temporary folders: a program folder with the default picture tree (empty
// placeholder files, enough for procedures that only test for existence), and a working
// folder. Pictures are not decoded by the scripted UI unless a test asks for it.

#include "editor/editor_session.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <string>

namespace Lift::Test {

class ProjectFixture {
public:
    ProjectFixture();

    std::string programDir() const { return m_program.path().string() + "/"; }
    std::string workDir() const { return m_work.path().string(); }
    std::string work(const std::string& name) const { return m_work.file(name); }
    // Creates a file (and its folders) under the program folder; returns its path.
    std::string addProgramFile(const std::string& relative, const std::string& bytes = "x");

    Editor::EditorSession session;
    ScriptedUi ui;

private:
    TempDir m_program;
    TempDir m_work;
};

} // namespace Lift::Test
