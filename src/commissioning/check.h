#pragma once
// The check: what a project will put on the display, judged before MAKE ROM and before the
// technician stands at the lift.
//
// It runs MAKE ROM's own gathering (GatherRomContent) on the project as MAKE ROM would see
// it after its save, so every case where MAKE ROM would refuse, drop, cut or substitute
// something is found by the same rules, and adds what is likely a mistake. It reads the
// project's pictures and nothing else, and writes nothing: no working files, no temporary
// picture file, no change to the session. Runs on the caller's thread.

#include "commissioning/project_settings.h"
#include "editor/editor_session.h"

#include <string>
#include <vector>

namespace Lift::Commissioning {

enum class Severity {
    Error,   // the image will not hold what the project says
    Warning, // likely a mistake
    Note,
};

struct FindingPlace {
    enum class Kind { Project, Library, Code, Slot, Setting };
    Kind kind = Kind::Project;
    int table = 0, code = 0; // Code
    int row = 0, column = 0; // Slot
    Setting setting = Setting::Version;
};

struct Finding {
    Severity severity = Severity::Error;
    FindingPlace place;
    std::string message;
};

// Every finding, errors first, then warnings, then notes; within each, in the order of the
// settings, the code tables and the slots.
std::vector<Finding> CheckProject(const Editor::EditorSession& session);

const char* SeverityText(Severity severity); // "error", "warning", "note"
// "CTBL0 0A (10 )", "slot (2, 1) BREAKDOWN", "Node Address", "GLB library", "project".
std::string PlaceText(const FindingPlace& place);
// "error: CTBL0 0A (10 ): ..."
std::string FindingLine(const Finding& finding);
// "2 errors, 1 warning, 0 notes"
std::string FindingSummary(const std::vector<Finding>& findings);

} // namespace Lift::Commissioning
