#pragma once
// MAKE ROM's gathering: every rule that decides what goes into the image, in MAKE ROM's
// order (direction frames, lift-state pictures, glyphs, code tables with user floor
// pictures, settings, data blocks, picture (0, 40), logo, small pictures), without building
// or writing anything.
//
// What the gathering meets on the way goes to a GatherEvents listener, which decides
// whether to go on: MAKE ROM reports and stops as its procedure says; the check lists
// everything and goes on. Pictures are decoded in memory; nothing is written. Runs on the
// caller's thread.

#include "editor/display_project.h"
#include "editor/glb_library.h"
#include "editor/program_settings.h"
#include "rom/black_picture.h"
#include "rom/rom_image.h"

#include <string>
#include <vector>

namespace Lift::Rom {

// Where a gathered picture comes from.
struct PictureSource {
    enum class Kind { GlbItem, Slot, UserFloorPicture, Logo };
    Kind kind = Kind::GlbItem;
    int group = 0, number = 0; // GlbItem
    int row = 0, column = 0;   // Slot
    int table = 0, code = 0;   // UserFloorPicture: the first entry whose label names it
    std::string path;          // the files
};

// GLB items whose absence stops MAKE ROM.
enum class RequiredItem { Cfi, Ifi, Picture040, SmallPicture };

class GatherEvents {
public:
    virtual ~GatherEvents() = default;
    // A GLB item was looked up; `dataBlock` for the CFI and IFI blocks.
    virtual void glbItemRead(int group, int number, bool dataBlock) {
        (void)group;
        (void)number;
        (void)dataBlock;
    }
    // A picture was decoded and packed.
    virtual void pictureGathered(const PictureSource& source, const BlackPicture& picture) {
        (void)source;
        (void)picture;
    }
    // A picture that cannot be read or decoded; `reason` names it. False stops.
    virtual bool pictureUnreadable(const PictureSource& source, const std::string& reason) = 0;
    // A slot whose file does not exist: it is left out and the later pictures move up.
    virtual void slotPictureMissing(int row, int column) {
        (void)row;
        (void)column;
    }
    // The glyphs gathered exceed the controller's glyph area (they are kept).
    virtual void glyphZoneFull(std::size_t glyphBytes) = 0;
    // The label of (table, code) names a user floor picture that does not exist; the entry
    // is gathered empty.
    virtual void userPictureMissing(int table, int code) = 0;
    // Glyphs and user pictures do not fit the floor zone. False stops.
    virtual bool floorZoneOverflow(const RomBuildReport& report) = 0;
    // A GLB item the image needs is absent. False stops.
    virtual bool requiredItemMissing(RequiredItem item, int number) = 0;
};

struct RomSources {
    const Editor::DisplayProject& project; // as saved: MAKE ROM saves before it gathers
    const Editor::GlbLibrary& glb;
    Editor::VersionSettings version;
    std::string userFloorPictureRoot; // + floor style + "/" + label + ".bmp"
};

// Fills `content` (views into the library stay valid while it lives). False when a listener
// stopped the gathering; `content` then holds what was gathered up to there.
bool GatherRomContent(const RomSources& sources, GatherEvents& events, RomContent& content);

// A zone without an overflow rule of its own whose pictures were cut.
struct CutZone {
    const char* name; // "DIR BMP", "MSG BMP", "Small BMP"
    std::size_t used; // bytes the pictures wanted
    RomArea area;
};
std::vector<CutZone> CutZones(const RomBuildReport& report);

} // namespace Lift::Rom
