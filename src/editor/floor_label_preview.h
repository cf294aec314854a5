#pragma once
// PreviewFloorLabel: the 64 x 64 "Preview:" picture of the Setup tab, showing how the floor
// label of the code-table cell the user clicked will look on the display.
//
// One or two characters are drawn from the glyphs of the current floor style in the GLB
// library (32 x 64 each; one glyph is centred, a leading "0" of two is not shown); a label of
// three or more characters is the user's own picture of that name for the current style.
// Runs on the main loop's thread; the glyphs pass through the temporary picture file.
#include "editor/editor_session.h"
#include "editor/editor_ui.h"

#include <QImage>
#include <string>

namespace Lift::Editor {

inline constexpr int kPreviewSide = 64;

// Updates `preview` for the cell text. Returns true when the preview changed. A blank text,
// or a user picture that does not exist, leaves it as it was; so does a glyph the library
// lacks (or no library at all), after an error box.
bool PreviewFloorLabel(const EditorSession& session, EditorUi& ui, const std::string& cellText,
                       QImage& preview);

} // namespace Lift::Editor
