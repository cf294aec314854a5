#pragma once
// The display preview: the indicator's screen for one floor code and state, drawn from the
// pieces a source supplies. Two sources exist: the project being edited (ProjectPieces)
// and a built ROM image (ImagePieces); both hand over each piece exactly as the image
// holds it, so the same state gives the same pixels from either.
//
// This previews the pictures, not the controller's timing: `step` counts animation steps
// at whatever rate the caller chooses.
//
// Nothing here fails: a piece that is missing or unusable leaves its zone white and is
// named in the preview's problems. Sources are used from one thread at a time.

#include "rom/black_picture.h"
#include "rom/rom_image.h"

#include <optional>
#include <string>
#include <vector>

namespace Lift::Preview {

using Rom::BlackPicture;

inline constexpr int kDirectionFramesPerCycle = 12;

// What the indicator is doing at one moment.
struct ScreenState {
    int table = 0; // code table 0..2
    int code = 0;  // 0..255
    // Shown instead of the table's entry when set: the text as typed.
    std::optional<std::string> label;
    bool travelling = false; // the arrow runs through its style's frames
    int liftState = -1;      // lift-state row 0..9; -1 none
    bool logo = false;       // the customer logo screen
    // Animation step: arrow frame step mod 12; the message shows the chosen columns in
    // turn, one column per 12 steps.
    int step = 0;
};

// The pieces of one screen, each of its zone's size.
struct ScreenPieces {
    int messagePosition = 1; // 0..2
    // The floor zone: the user picture when set; otherwise one glyph centred (`right`) or
    // two side by side.
    std::optional<BlackPicture> userPicture;
    bool twoGlyphs = false;
    std::optional<BlackPicture> leftGlyph;
    std::optional<BlackPicture> rightGlyph;
    std::optional<BlackPicture> arrow;
    std::optional<BlackPicture> message;
    // When set the screen shows the logo and nothing else.
    std::optional<BlackPicture> logo;
};

// The 64 x 128 screen. Each piece is drawn from its zone's top left corner and cut to the
// zone; a message position outside 0..2 is drawn as 1.
BlackPicture ComposeScreen(const ScreenPieces& pieces);

// A source's settings, as the controller reads them.
struct SourceSettings {
    int messagePosition = 1;
    int messageMask = 3; // normalised: the slot columns shown in turn
    int directionStyle = 0;
    bool logoEnabled = false;
    int defaultCodeTable = 0;
};

// What one floor code shows.
struct FloorEntry {
    Rom::CodeBytes bytes;    // as in the image's code table
    std::string label;       // for reports: the label as the source holds it
    std::string userPicture; // a project's user floor picture file
    std::string problem;     // why the entry shows less than its label asks for
};

class PieceSource {
public:
    virtual ~PieceSource() = default;
    virtual SourceSettings settings() const = 0;
    virtual FloorEntry entry(int table, int code) const = 0;
    virtual FloorEntry entryOfLabel(const std::string& text) const = 0;
    // Each piece at its zone's size, or nothing with `problem` saying why.
    virtual std::optional<BlackPicture> glyph(int characterCode, std::string& problem) = 0;
    virtual std::optional<BlackPicture> userPicture(const FloorEntry& entry,
                                                    std::string& problem) = 0;
    virtual std::optional<BlackPicture> directionFrame(int style, int frame,
                                                       std::string& problem) = 0;
    // Entry `index` (0..39) of the message index.
    virtual std::optional<BlackPicture> message(int index, std::string& problem) = 0;
    virtual std::optional<BlackPicture> logo(std::string& problem) = 0;
};

// Message-index entries a lift-state row shows in turn under `messageMask`: one per chosen
// slot column, in the order of the mask's bits.
std::vector<int> ShownMessageIndexes(int messageMask, int row);

struct ScreenPreview {
    BlackPicture screen;
    // What the indicator would show wrongly or not at all, one sentence each.
    std::vector<std::string> problems;
};

ScreenPreview PreviewScreen(PieceSource& source, const ScreenState& state);

// How reports name a character: "A", or its code when it is not printable.
std::string CharacterName(int characterCode);

} // namespace Lift::Preview
