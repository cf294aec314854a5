#pragma once
// The text files of the data set: the program settings file with its controller code
// versions, the controller data blocks those versions name, and the demo project.

#include <string>
#include <vector>

namespace MakeDataset {

struct CodeVersion {
    const char* name;
    int cfi;
    int ifi;
    int disphv;
    int encode;
    const char* purpose; // one line for the settings file's comment
};

const std::vector<CodeVersion>& CodeVersions();

// "ZEBPRV620BX7.INI", CR LF line ends.
std::string SettingsFileText();

// Placeholder controller data blocks, 7168 bytes (CFI) and 1792 bytes (IFI): a line of
// text saying what they are, then byte p = (p mod 256) XOR the item number.
std::string CfiBlock(int item);
std::string IfiBlock(int item);
constexpr std::size_t kCfiSize = 7168;
constexpr std::size_t kIfiSize = 1792;

// The demo building's floor labels from the lowest floor up (the index is the floor).
const std::vector<std::string>& DemoFloors();

// Labels of three or more characters for which user floor pictures are shipped.
const std::vector<std::string>& UserFloorLabels();

// "demo.lcp" in the layout the editor saves: sections GLOBAL, LiftStateImage, CTBL0,
// CTBL1, CTBL2, keys in save order, CR LF line ends, an empty line after each section.
std::string DemoProjectText();
// The logo file the demo project names (relative to the data folder).
extern const char kDemoLogoFile[];

} // namespace MakeDataset
