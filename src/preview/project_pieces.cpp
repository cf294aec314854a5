#include "preview/project_pieces.h"

#include "editor/text_rules.h"
#include "rom/pack_picture.h"
#include "rom/project_pictures.h"
#include "rom/rom_inspect.h"
#include "util/standalone_function.h"

#include <system_error>

namespace Lift::Preview {

namespace {

using YVclUtil::Format;

// The picture as the controller gets it back: packed as MAKE ROM packs it, then read at
// the size its zone is laid out for.
BlackPicture asStored(const BlackPicture& picture, Rom::PictureSize size, bool rotated) {
    return Rom::UnpackBlackPicture(Rom::PackBlackPicture(picture, rotated).substr(4), size,
                                   rotated);
}

// Size and modification time: a changed file gets decoded again.
std::string fileStamp(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return {};
    const auto time = std::filesystem::last_write_time(path, ec);
    if (ec)
        return {};
    return std::to_string(size) + "@" + std::to_string(time.time_since_epoch().count());
}

} // namespace

ProjectPieces::ProjectPieces(const Editor::DisplayProject& project, const Editor::GlbLibrary& glb,
                             const Editor::VersionSettings& version,
                             const std::string& userFloorPictureRoot)
    : m_project(project), m_glb(glb), m_version(version),
      m_userFloorPictureRoot(userFloorPictureRoot) {}

ProjectPieces::ProjectPieces(const Editor::EditorSession& session)
    : ProjectPieces(session.project, session.program.glbData,
                    session.program.settings.versionSettings,
                    session.program.userFloorPictureRoot) {}

SourceSettings ProjectPieces::settings() const {
    SourceSettings s;
    s.messagePosition = m_project.messagePosition;
    // What the next save stores: the ticked boxes, normalised.
    s.messageMask =
        Editor::NormalisedMessageMask(Editor::MaskFromBoxes(m_project.messageColumnBoxes));
    s.directionStyle = m_project.directionStyle;
    s.logoEnabled = m_project.logoEnabled;
    s.defaultCodeTable = m_project.defaultCodeTable;
    return s;
}

FloorEntry ProjectPieces::entry(int table, int code) const {
    if (table < 0 || table >= Editor::kCodeTableCount || code < 0 || code >= Editor::kCodeCount)
        return {};
    return entryOfLabel(m_project.codeTables[std::size_t(table)][std::size_t(code)]);
}

FloorEntry ProjectPieces::entryOfLabel(const std::string& text) const {
    FloorEntry e;
    e.label = Editor::UpperCased(Editor::Trimmed(text));
    if (const auto bytes = Rom::LabelCodeBytes(e.label)) {
        e.bytes = *bytes;
        return e;
    }
    e.userPicture =
        Rom::UserFloorPicturePath(m_userFloorPictureRoot, m_project.floorStyle, e.label);
    if (e.userPicture.empty()) {
        e.problem = Format("no user floor picture \"%s.bmp\" for FL style %d: MAKE ROM drops "
                           "this label",
                           e.label.c_str(), m_project.floorStyle);
        return e;
    }
    e.bytes = Rom::CodeBytes{Rom::kUserPictureMarker, 0};
    return e;
}

std::optional<BlackPicture> ProjectPieces::glbPicture(int group, int number,
                                                      Rom::PictureSize size,
                                                      const std::string& what,
                                                      std::string& problem) {
    const auto item = m_glb.item(group, number);
    if (!item) {
        problem = "the GLB library has no " + what;
        return std::nullopt;
    }
    Cached& c = m_cache[Format("GLB %d %d", group, number)];
    if (c.source != *item || c.rotated != rotated()) {
        c.source = std::string(*item);
        c.rotated = rotated();
        BlackPicture decoded;
        std::string reason;
        c.picture.reset();
        c.problem.clear();
        if (Rom::DecodeBlackPicture(*item, decoded, reason))
            c.picture = asStored(decoded, size, c.rotated);
        else
            c.problem = "the " + what + " cannot be decoded: " + reason;
    }
    problem = c.problem;
    return c.picture;
}

std::optional<BlackPicture> ProjectPieces::filePicture(const std::string& path,
                                                       Rom::PictureSize size,
                                                       std::string& problem) {
    const std::string stamp = fileStamp(path);
    Cached& c = m_cache["file " + path];
    if (stamp.empty() || c.source != stamp || c.rotated != rotated()) {
        c.source = stamp;
        c.rotated = rotated();
        BlackPicture decoded;
        c.picture.reset();
        c.problem.clear();
        if (Rom::LoadBlackPicture(path, decoded, c.problem))
            c.picture = asStored(decoded, size, c.rotated);
    }
    problem = c.problem;
    return c.picture;
}

std::optional<BlackPicture> ProjectPieces::glyph(int characterCode, std::string& problem) {
    const std::string what =
        "glyph of " + CharacterName(characterCode) + Format(" in FL style %d", m_project.floorStyle);
    if (characterCode < 0 || characterCode >= Rom::kGlyphCount) {
        problem = "no " + what + ": glyphs exist for character codes 0..127 only";
        return std::nullopt;
    }
    return glbPicture(m_project.floorStyle + 1, characterCode, Rom::kGlyphSize, what, problem);
}

std::optional<BlackPicture> ProjectPieces::userPicture(const FloorEntry& entry,
                                                       std::string& problem) {
    return filePicture(entry.userPicture, Rom::kUserPictureSize, problem);
}

std::optional<BlackPicture> ProjectPieces::directionFrame(int style, int frame,
                                                          std::string& problem) {
    const std::string what = Format("frame %d of DIR style %d", frame, style);
    if (style < 0 || style >= Rom::kDirectionStyles) {
        problem = "no " + what + ": styles are 0..4";
        return std::nullopt;
    }
    return glbPicture(0, 50 + 20 * style + frame, Rom::kDirectionSize, what, problem);
}

std::optional<BlackPicture> ProjectPieces::message(int index, std::string& problem) {
    if (index < 0 || index >= Rom::kMessageCount) {
        problem = Format("no message index entry %d", index);
        return std::nullopt;
    }
    const auto list = Rom::MessagePictureList(m_project);
    const std::string& path = list[std::size_t(index)];
    // The slot this entry stands for when every file is there; missing files move the
    // later pictures up, so the entry may hold another slot's picture.
    const int row = index % Editor::kSlotRows;
    const int column = Rom::kMessageColumnOrder[std::size_t(index / Editor::kSlotRows)];
    const std::string& own = m_project.liftStatePictures[std::size_t(row)][std::size_t(column)];
    std::string shifted;
    if (path != own)
        shifted = Format("message index entry %d holds %s instead of the picture of row %d, "
                         "slot column %d: missing lift-state picture files move the later "
                         "ones up",
                         index, path.empty() ? "nothing" : ("\"" + path + "\"").c_str(), row,
                         column);
    if (path.empty()) {
        problem = shifted;
        return std::nullopt;
    }
    auto picture = filePicture(path, Rom::kMessageSize, problem);
    if (problem.empty())
        problem = shifted;
    return picture;
}

std::optional<BlackPicture> ProjectPieces::logo(std::string& problem) {
    if (Editor::IsBlank(m_project.logoFile)) {
        // Nothing is placed in the logo area, which keeps the fill pattern.
        std::string pattern(Rom::kLogoBytes, '\0');
        for (std::size_t p = 0; p < pattern.size(); ++p)
            pattern[p] = static_cast<char>(Rom::FillPatternByte(p));
        problem = "the customer logo is ON without a picture: the indicator shows the "
                  "logo area's fill pattern";
        return Rom::UnpackBlackPicture(pattern, Rom::kLogoSize, rotated());
    }
    return filePicture(m_project.logoFile, Rom::kLogoSize, problem);
}

} // namespace Lift::Preview
