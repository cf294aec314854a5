#include "preview/display_preview.h"

#include "editor/display_project.h"
#include "preview/screen_layout.h"
#include "rom/project_pictures.h"
#include "util/standalone_function.h"

#include <algorithm>
#include <iterator>

namespace Lift::Preview {

namespace {

// Draws the black pixels of `piece` from (x, y), cut to `width` x `height` and to the piece.
void drawInto(BlackPicture& screen, const std::optional<BlackPicture>& piece, int x, int y,
              int width, int height) {
    if (!piece)
        return;
    const int w = std::min(width, piece->width);
    const int h = std::min(height, piece->height);
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px)
            if (piece->isBlack(px, py))
                screen.black[std::size_t(y + py) * kScreenWidth + std::size_t(x + px)] = 1;
}

void drawInto(BlackPicture& screen, const std::optional<BlackPicture>& piece, ScreenRect zone) {
    drawInto(screen, piece, zone.x, zone.y, zone.width, zone.height);
}

int positiveModulo(int value, int divisor) {
    return ((value % divisor) + divisor) % divisor;
}

} // namespace

BlackPicture ComposeScreen(const ScreenPieces& pieces) {
    BlackPicture screen;
    screen.width = kScreenWidth;
    screen.height = kScreenHeight;
    screen.black.assign(std::size_t(kScreenWidth) * kScreenHeight, 0);
    if (pieces.logo) {
        drawInto(screen, pieces.logo, kLogoRect);
        return screen;
    }
    const ScreenZones& zones = ZonesOf(pieces.messagePosition);
    drawInto(screen, pieces.arrow, zones.direction);
    drawInto(screen, pieces.message, zones.message);
    const ScreenRect& floor = zones.floor;
    if (pieces.userPicture) {
        drawInto(screen, pieces.userPicture, floor);
    } else if (pieces.twoGlyphs) {
        drawInto(screen, pieces.leftGlyph, floor.x, floor.y, kGlyphWidth, floor.height);
        drawInto(screen, pieces.rightGlyph, floor.x + kGlyphWidth, floor.y, kGlyphWidth,
                 floor.height);
    } else {
        drawInto(screen, pieces.rightGlyph, floor.x + kSingleGlyphX, floor.y, kGlyphWidth,
                 floor.height);
    }
    return screen;
}

std::vector<int> ShownMessageIndexes(int messageMask, int row) {
    std::vector<int> indexes;
    for (std::size_t bit = 0; bit < Editor::kSlotColumnsOnScreen.size(); ++bit) {
        if (!(messageMask & (1 << bit)))
            continue;
        const auto& order = Rom::kMessageColumnOrder;
        const auto at = std::find(order.begin(), order.end(), Editor::kSlotColumnsOnScreen[bit]);
        indexes.push_back(int(std::distance(order.begin(), at)) * Editor::kSlotRows + row);
    }
    return indexes;
}

std::string CharacterName(int characterCode) {
    if (characterCode > 32 && characterCode < 127)
        return YVclUtil::Format("\"%c\"", characterCode);
    return YVclUtil::Format("character code %d", characterCode);
}

ScreenPreview PreviewScreen(PieceSource& source, const ScreenState& state) {
    ScreenPreview out;
    ScreenPieces pieces;
    std::string problem;
    const auto take = [&](std::optional<BlackPicture> piece) {
        if (!problem.empty())
            out.problems.push_back(problem);
        problem.clear();
        return piece;
    };

    const SourceSettings settings = source.settings();
    pieces.messagePosition = settings.messagePosition;
    if (settings.messagePosition < 0 || settings.messagePosition >= kMessagePositions)
        out.problems.push_back(YVclUtil::Format(
            "message position %d is none of 0, 1, 2; shown as 1", settings.messagePosition));

    if (state.logo) {
        if (settings.logoEnabled) {
            pieces.logo = take(source.logo(problem));
            out.screen = ComposeScreen(pieces);
            return out;
        }
        out.problems.push_back("the customer logo is OFF: the indicator shows no logo screen");
    }

    const FloorEntry entry =
        state.label ? source.entryOfLabel(*state.label) : source.entry(state.table, state.code);
    if (!entry.problem.empty())
        out.problems.push_back(entry.problem);
    if (entry.bytes.left == Rom::kUserPictureMarker) {
        pieces.userPicture = take(source.userPicture(entry, problem));
    } else {
        pieces.twoGlyphs = entry.bytes.left != 0;
        if (entry.bytes.left != 0)
            pieces.leftGlyph = take(source.glyph(entry.bytes.left, problem));
        if (entry.bytes.right != 0)
            pieces.rightGlyph = take(source.glyph(entry.bytes.right, problem));
    }

    if (state.travelling) {
        const int frame = positiveModulo(state.step, kDirectionFramesPerCycle);
        pieces.arrow = take(source.directionFrame(settings.directionStyle, frame, problem));
    }

    if (state.liftState >= 0 && state.liftState < Editor::kSlotRows) {
        const std::vector<int> shown = ShownMessageIndexes(settings.messageMask, state.liftState);
        if (shown.empty()) {
            out.problems.push_back(YVclUtil::Format("message mask %d chooses no message column",
                                                    settings.messageMask));
        } else {
            const int turn = positiveModulo(state.step / kDirectionFramesPerCycle,
                                            static_cast<int>(shown.size()));
            pieces.message = take(source.message(shown[std::size_t(turn)], problem));
        }
    }
    out.screen = ComposeScreen(pieces);
    return out;
}

} // namespace Lift::Preview
