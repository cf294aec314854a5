#pragma once
// ExtractGlbItem: writes one GLB item to the temporary picture file "ZEB_TEMPBMP.BMP" in the
// working directory, so that library pictures go through the same picture loader as the
// user's own files.
//
// There is one temporary file at a time: every call first deletes the previous one, also
// when the new item turns out to be absent. Callers must load or pack the file before the
// next call.

#include "editor/glb_library.h"

#include <string>

namespace Lift::Editor {

inline constexpr char kTempPictureFileName[] = "ZEB_TEMPBMP.BMP";

// Returns the path of the temporary file (`startDirectory` joined with
// "ZEB_TEMPBMP.BMP") after writing exactly the item's bytes to it, or an empty string when
// the item is absent or no library is loaded. The file is written atomically, so a failed
// write never leaves a partial picture behind. When the old file cannot be deleted or the
// new one cannot be written, the result is empty and `error` (when given) says why;
// otherwise `error` is cleared.
std::string ExtractGlbItem(const GlbLibrary& glb, const std::string& startDirectory, int group,
                           int number, std::string* error = nullptr);

} // namespace Lift::Editor
