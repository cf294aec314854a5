#pragma once
// The editor's start-up: settings, GLB library, dates, caption, previews and the default
// lift-state pictures, in the order the window runs them when it is created.

#include "editor/editor_session.h"
#include "editor/editor_ui.h"

#include <string>

namespace Lift::Editor {

struct StartOptions {
    std::string programDirectory; // absolute, any trailing "/" is normalised to one
    std::string startDirectory;   // the working directory at start
};

// Runs every start-up step. Returns true when all of them ran; false when a step stopped
// the start (missing GLB or user-define file, a preview or slot picture that cannot be
// loaded), in which case the later steps did not run, status panel 2 keeps its error text
// and the caption is not extended. The window stays usable either way.
bool RunStartUp(EditorSession& session, EditorUi& ui, const StartOptions& options);

// The first start-up step alone: the program folder, the start directory and the paths
// derived from them. Reads and writes nothing.
void SetProgramDirectories(ProgramState& program, const StartOptions& options);

// Sets all 40 slots to their default pictures under the program folder.
void SetDefaultLiftStatePictures(EditorSession& session);

// Shows every slot picture and, per row, the column-0 picture as the row's label. Stops at
// the first picture that cannot be loaded and returns false.
bool ShowSlotPictures(const EditorSession& session, EditorUi& ui);

} // namespace Lift::Editor
