#pragma once
// The commissioning sheet: a printable PDF a technician takes to the lift. It lists the
// project's settings and, for each code table in use, every labelled code: hex and decimal,
// the input pattern the lift controller drives for it (binary or Gray, as the grid shows
// it), the label, and the picture the display shows (the chosen style's glyphs or the user
// floor picture, by MAKE ROM's rules) at a size that compares with the real display at a
// glance. Pages break between rows; the page header and the table's column header repeat on
// every page.
//
// Text needs fonts, so a QGuiApplication must exist (any platform, "offscreen" will do).
// Main thread only, like every QPainter on a PDF.

#include "editor/editor_session.h"

#include <string>

namespace Lift::Commissioning {

struct SheetInfo {
    std::string projectName; // in every page's header, e.g. the project file's path
    std::string printedOn;   // e.g. "2026-12-06"; may be empty
};

// The PDF file's bytes. Empty with `error` when no QGuiApplication exists.
std::string CommissioningSheetPdf(const Editor::EditorSession& session, const SheetInfo& info,
                                  std::string& error);

// Writes the sheet to `path`, replacing any file there only once the whole sheet is written.
// False with `error` naming the file when it cannot be written.
bool WriteCommissioningSheet(const Editor::EditorSession& session, const SheetInfo& info,
                             const std::string& path, std::string& error);

} // namespace Lift::Commissioning
