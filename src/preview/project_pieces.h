#pragma once
// The pieces of the display preview taken from the project being edited, by MAKE ROM's own
// rules: the same labels, glyphs, user floor pictures, message list and packing, so the
// preview shows what the image built now would hold.
//
// Reads the project, the library and the version at every call (they may change between
// calls); decoded pictures are kept while their source bytes or file stay the same.
// Main loop's thread only.

#include "editor/display_project.h"
#include "editor/editor_session.h"
#include "editor/glb_library.h"
#include "editor/program_settings.h"
#include "preview/display_preview.h"

#include <filesystem>
#include <map>
#include <string>

namespace Lift::Preview {

class ProjectPieces : public PieceSource {
public:
    // All four are referred to, not copied: they must outlive this source.
    ProjectPieces(const Editor::DisplayProject& project, const Editor::GlbLibrary& glb,
                  const Editor::VersionSettings& version, const std::string& userFloorPictureRoot);
    ProjectPieces(const Editor::DisplayProject&, const Editor::GlbLibrary&,
                  const Editor::VersionSettings&, std::string&&) = delete; // would dangle
    explicit ProjectPieces(const Editor::EditorSession& session);

    SourceSettings settings() const override;
    FloorEntry entry(int table, int code) const override;
    FloorEntry entryOfLabel(const std::string& text) const override;
    std::optional<BlackPicture> glyph(int characterCode, std::string& problem) override;
    std::optional<BlackPicture> userPicture(const FloorEntry& entry, std::string& problem) override;
    std::optional<BlackPicture> directionFrame(int style, int frame, std::string& problem) override;
    std::optional<BlackPicture> message(int index, std::string& problem) override;
    std::optional<BlackPicture> logo(std::string& problem) override;

private:
    struct Cached {
        std::string source; // GLB item bytes, or the file's size and time
        bool rotated = false;
        std::optional<BlackPicture> picture;
        std::string problem;
    };
    std::optional<BlackPicture> glbPicture(int group, int number, Rom::PictureSize size,
                                           const std::string& what, std::string& problem);
    std::optional<BlackPicture> filePicture(const std::string& path, Rom::PictureSize size,
                                            std::string& problem);
    bool rotated() const { return m_version.disphv == 1; }

    const Editor::DisplayProject& m_project;
    const Editor::GlbLibrary& m_glb;
    const Editor::VersionSettings& m_version;
    const std::string& m_userFloorPictureRoot;
    std::map<std::string, Cached> m_cache;
};

} // namespace Lift::Preview
