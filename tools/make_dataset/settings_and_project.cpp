#include "settings_and_project.h"

#include "lift_state_pictures.h"

#include <array>
#include <cstdio>

namespace MakeDataset {

const char kDemoLogoFile[] = "demo_logo.bmp";

const std::vector<CodeVersion>& CodeVersions() {
    // The first is selected at start. ZEB-INITDL also names the version the editor falls
    // back to when a settings file lists none, so its section is here for that case too.
    static const std::vector<CodeVersion> versions = {
        {"ZEB-STD", 1, 41, 1, 1, "standard controller, binary floor code, turned display"},
        {"ZEB-GRY", 2, 41, 1, 1, "controller reading a Gray-coded floor code"},
        {"ZEB-HV0", 3, 41, 0, 1, "display mounted the other way: pictures not turned"},
        {"ZEB-INITDL", 48, 41, 1, 0,
         "initial download: for a device programmer, not for upload"},
    };
    return versions;
}

namespace {

void line(std::string& out, const std::string& text) {
    out += text;
    out += "\r\n";
}

void key(std::string& out, const std::string& name, const std::string& value) {
    line(out, name + "=" + value);
}

std::string placeholderBlock(const char* kind, int item, std::size_t size) {
    char head[96];
    std::snprintf(head, sizeof head, "%s block %d: placeholder data, not controller code.\n", kind,
                  item);
    std::string out(size, '\0');
    for (std::size_t p = 0; p < size; ++p)
        out[p] = char((p % 256) ^ unsigned(item));
    out.replace(0, std::string(head).size(), head);
    return out;
}

unsigned gray(unsigned n) {
    return n ^ (n >> 1);
}

} // namespace

std::string SettingsFileText() {
    std::string out;
    line(out, "# Program settings of the Lift LCD Editor: the GLB library and the controller");
    line(out, "# code versions offered in the \"Version:\" list. CFI and IFI are the numbers of");
    line(out, "# GLB items in group 0; DISPHV 1 turns the pictures a quarter turn; ENCODE 0 builds");
    line(out, "# an image for initial download (with the IFI block), which is never uploaded.");
    for (const CodeVersion& v : CodeVersions())
        line(out, std::string("#   ") + v.name + ": " + v.purpose);
    line(out, "[GLOBAL]");
    key(out, "GLB", "P620BX7.GLB");
    key(out, "VCN", std::to_string(CodeVersions().size()));
    for (std::size_t i = 0; i < CodeVersions().size(); ++i)
        key(out, "ITEM" + std::to_string(i + 1), CodeVersions()[i].name);
    line(out, "");
    for (const CodeVersion& v : CodeVersions()) {
        line(out, std::string("[") + v.name + "]");
        key(out, "CFI", std::to_string(v.cfi));
        key(out, "IFI", std::to_string(v.ifi));
        key(out, "DISPHV", std::to_string(v.disphv));
        key(out, "ENCODE", std::to_string(v.encode));
        line(out, "");
    }
    return out;
}

std::string CfiBlock(int item) {
    return placeholderBlock("CFI", item, kCfiSize);
}
std::string IfiBlock(int item) {
    return placeholderBlock("IFI", item, kIfiSize);
}

const std::vector<std::string>& DemoFloors() {
    // Harbour Tower: two basements, the ground floor, a car-park deck above it, then
    // floors 1 to 20 with no 13th (12A instead) and the roof.
    static const std::vector<std::string> floors = [] {
        std::vector<std::string> f = {"B2", "B1", "G", "P1A"};
        for (int n = 1; n <= 20; ++n)
            f.push_back(n == 13 ? "12A" : std::to_string(n));
        f.push_back("R");
        return f;
    }();
    return floors;
}

const std::vector<std::string>& UserFloorLabels() {
    static const std::vector<std::string> labels = {"12A", "LBY", "P1A", "P1B"};
    return labels;
}

std::string DemoProjectText() {
    std::string out;
    line(out, "[GLOBAL]");
    key(out, "CODENAME", "PRV620BX7");
    key(out, "VERSION", "1.0");
    key(out, "CUSIDCODE", "HBT1");
    key(out, "ROMFILENAME", "HARBOUR.BIN");
    key(out, "TITLEFILENAME_C", kDemoLogoFile);
    key(out, "SWAPTIME", "4"); // 5 seconds
    key(out, "CUSLOGOENABLE", "1");
    key(out, "PWRSAVING", "7"); // back light off after 60 s idle
    key(out, "NODEADDR", "1");
    key(out, "DEF_CTBL", "0");
    key(out, "DEF_FL", "0");
    key(out, "DEF_DIR", "1"); // scrolling arrow
    key(out, "CODEVER", CodeVersions().front().name);
    key(out, "DPSTYLE", "1");
    key(out, "DISPDT", "1");
    key(out, "DEF_MSG", "5"); // English and Chinese, both normal
    key(out, "DEF_MSGPOS", "1");
    line(out, "");

    line(out, "[LiftStateImage]");
    static const char* const suffix[] = {"_A", "_B", "_C", "_D"};
    for (int row = 0; row < kLiftStateCount; ++row)
        for (int column = 0; column < 4; ++column)
            key(out, "LeftState_" + std::to_string(row) + suffix[column],
                "DefaultImage2/LiftState/" + LiftStateFileName(row, column));
    line(out, "");

    // Table 0: floor code in plain binary from the lowest floor. Table 1: the same floors
    // for a lift controller that sends its floor number Gray-coded. Table 2: binary
    // counted from 1, for controllers that keep code 0 for "no floor".
    std::array<std::array<std::string, 256>, 3> tables;
    const auto& floors = DemoFloors();
    for (unsigned n = 0; n < floors.size(); ++n) {
        tables[0][n] = floors[n];
        tables[1][gray(n)] = floors[n];
        tables[2][n + 1] = floors[n];
    }
    for (int t = 0; t < 3; ++t) {
        line(out, "[CTBL" + std::to_string(t) + "]");
        for (int n = 0; n < 256; ++n)
            key(out, "CODE_" + std::to_string(n), tables[t][n]);
        line(out, "");
    }
    return out;
}

} // namespace MakeDataset
