// The command-line pieces of the link commands: port arguments and the settings file's version
// and ENCODE.

#include "lift_lcd/port_argument.h"
#include "lift_lcd/upload_version.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Lift::Cli {
namespace {

TEST(PortArgument, NumbersComNamesFoundPortsAndPaths) {
    const auto found = [] {
        Serial::PortDiscovery d;
        d.ports.push_back({Serial::FoundPort::Kind::Adapter, "usb-X_1-if00", "ttyUSB4",
                           "/dev/serial/by-id/usb-X_1-if00", "usb-X_1-if00", 5});
        d.problem = "remembered numbers unreadable";
        return d;
    };
    std::string error;
    EXPECT_EQ(ParsePortArgument("3", error, found)->number, 3u);
    EXPECT_EQ(ParsePortArgument("COM16", error, found)->number, 16u);
    EXPECT_EQ(ParsePortArgument("com2", error, found)->warning, "remembered numbers unreadable");
    for (const char* name : {"usb-X_1-if00", "ttyUSB4", "/dev/serial/by-id/usb-X_1-if00"}) {
        const auto adapter = ParsePortArgument(name, error, found);
        ASSERT_TRUE(adapter) << name;
        EXPECT_EQ(adapter->number, 5u) << name;
        EXPECT_EQ(adapter->devicePath, "/dev/serial/by-id/usb-X_1-if00") << name;
    }
    const auto path = ParsePortArgument("/dev/ttyUSB0", error, found);
    ASSERT_TRUE(path);
    EXPECT_EQ(path->number, 1u);
    EXPECT_EQ(path->devicePath, "/dev/ttyUSB0");
    for (const char* bad : {"0", "17", "COM0", "COM17", "99999999999999999999", "", "usb-Y"}) {
        error.clear();
        EXPECT_FALSE(ParsePortArgument(bad, error, found)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
}

class UploadVersionTest : public ::testing::Test {
protected:
    Lift::Test::TempDir dir;
    Lift::Test::ScriptedUi ui;
    void settings(const std::string& text) {
        Lift::Test::WriteBytes(dir.file("ZEBPRV620BX7.INI"), text);
    }
    UploadVersion read(std::optional<std::string> version = std::nullopt) {
        return ReadUploadVersion(dir.path().string(), version, ui);
    }
};

TEST_F(UploadVersionTest, MissingFileKeepsEncodeOneAndIsNotCreated) {
    EXPECT_EQ(read().encode, 1);
    EXPECT_EQ(read("ZEB-OLD").encode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("ZEBPRV620BX7.INI")));
    ASSERT_FALSE(ui.messages().empty());
    EXPECT_EQ(ui.messages()[0], "Error | ZEBPRV620BX7.INI file not found!!\n\n");
}

TEST_F(UploadVersionTest, FirstNonBlankItemDecidesUnlessOneIsNamed) {
    settings("[GLOBAL]\nVCN = 3\nITEM1 =\nITEM2=   \nITEM3 = V3 \n"
             "[V3]\nENCODE = 0x0\n[V4]\nENCODE=$1\n");
    UploadVersion v = read();
    EXPECT_EQ(v.name, "V3");
    EXPECT_EQ(v.encode, 0);
    EXPECT_EQ(read("V4").encode, 1);
    EXPECT_EQ(read("NO-SUCH-SECTION").encode, 1);
    EXPECT_TRUE(ui.messages().empty());
}

} // namespace
} // namespace Lift::Cli
