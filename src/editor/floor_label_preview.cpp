#include "editor/floor_label_preview.h"

#include "editor/display_picture.h"
#include "editor/extract_glb_item.h"
#include "editor/text_rules.h"
#include "rom/project_pictures.h"
#include "util/standalone_function.h"

#include <optional>

namespace Lift::Editor {

namespace {

constexpr int kGlyphWidth = 32;

std::optional<QImage> loadGlyph(const EditorSession& session, EditorUi& ui, char c) {
    const int group = session.project.floorStyle + 1;
    const int number = static_cast<unsigned char>(c);
    std::string error;
    const std::string path = ExtractGlbItem(session.program.glbData, session.program.startDirectory,
                                            group, number, &error);
    QImage glyph;
    if (path.empty() || !LoadDisplayPicture(path, glyph, error)) {
        ui.messageBox(YVclUtil::Format("The picture of \"%c\" (GLB item %d, %d) cannot be "
                                       "loaded!!\n\n%s",
                                       c, group, number, error.c_str()),
                      "Error");
        return std::nullopt;
    }
    return glyph.convertToFormat(QImage::Format_RGB32);
}

// Copies the glyph's columns 0..31 and rows 0..63 to the preview from column `left`; pixels
// outside a smaller glyph leave the preview as it was.
void copyGlyph(const QImage& glyph, QImage& preview, int left) {
    const int width = std::min(kGlyphWidth, glyph.width());
    const int height = std::min(kPreviewSide, glyph.height());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            preview.setPixel(left + x, y, glyph.pixel(x, y));
}

QImage blankPreview() {
    QImage image(kPreviewSide, kPreviewSide, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace

bool PreviewFloorLabel(const EditorSession& session, EditorUi& ui, const std::string& cellText,
                       QImage& preview) {
    if (IsBlank(cellText))
        return false;
    std::string label = UpperCased(Trimmed(cellText));
    if (label.size() == 2 && label[0] == '0')
        label.erase(0, 1);

    if (label.size() >= 3) {
        const std::string path = Rom::UserFloorPicturePath(session.program.userFloorPictureRoot,
                                                           session.project.floorStyle, label);
        QImage picture;
        std::string error;
        if (path.empty())
            return false;
        if (!LoadDisplayPicture(path, picture, error)) {
            ui.messageBox(error, "Error");
            return false;
        }
        preview = picture;
        return true;
    }

    // Work on a copy, so a glyph that fails leaves the preview as it was.
    QImage next = preview.isNull() || preview.size() != QSize(kPreviewSide, kPreviewSide)
                      ? blankPreview()
                      : preview.convertToFormat(QImage::Format_RGB32);
    if (label.size() == 1) {
        const auto glyph = loadGlyph(session, ui, label[0]);
        if (!glyph)
            return false;
        next = blankPreview();
        copyGlyph(*glyph, next, (kPreviewSide - kGlyphWidth) / 2);
    } else {
        const auto first = loadGlyph(session, ui, label[0]);
        if (!first)
            return false;
        const auto second = loadGlyph(session, ui, label[1]);
        if (!second)
            return false;
        copyGlyph(*first, next, 0);
        copyGlyph(*second, next, kGlyphWidth);
    }
    preview = next;
    return true;
}

} // namespace Lift::Editor
