#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <utility>

#include "model/Text.h"
#include "win32/ExternalPrograms.h"

namespace {

constexpr char kKey[] = "SOFTWARE\\Quirebound\\Publisher";

class ToolSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

    static DWORD storedSize(const char* name) {
        HKEY key = nullptr;
        DWORD size = 0;
        RegOpenKeyA(HKEY_CURRENT_USER, kKey, &key);
        RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
        RegCloseKey(key);
        return size;
    }

    std::unique_ptr<ToolSettings> settings = std::make_unique<ToolSettings>();
};

TEST_F(ToolSettingsTest, SavedSettingsComeBackWholeInFreshSettings) {
    copyText(settings->htmlEditorPath, "C:\\tools\\edit.exe -n");
    copyText(settings->palmOsEmulatorPath, "C:\\palm\\emu.exe");
    // 255 characters and the terminator fill the field exactly.
    copyText(settings->wapEmulatorPath, std::string(255, 'w').c_str());
    settings->allowOutsideFiles = true;
    saveToolSettings(*settings);
    // Each value holds its text and terminator, not the rest of the field.
    for (auto [name, size] : {std::pair{"HTMLEditor", 21}, {"PalmOsEmul", 16}, {"WapEmul", 256}})
        EXPECT_EQ(storedSize(name), DWORD(size)) << name;
    auto fresh = std::make_unique<ToolSettings>();
    loadToolSettings(*fresh);
    EXPECT_STREQ(fresh->htmlEditorPath, "C:\\tools\\edit.exe -n");
    EXPECT_STREQ(fresh->palmOsEmulatorPath, "C:\\palm\\emu.exe");
    EXPECT_EQ(std::string(fresh->wapEmulatorPath), std::string(255, 'w'));
    EXPECT_TRUE(fresh->allowOutsideFiles);
}

TEST_F(ToolSettingsTest, MissingOrOverlongValuesLeaveTheFieldsAndReadingCreatesTheKey) {
    loadToolSettings(*settings);
    // Until the box is ticked, builds stay inside the publication's folder.
    EXPECT_FALSE(settings->allowOutsideFiles);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, kKey, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    const std::string overlong(300, 'x');
    RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "HTMLEditor", REG_SZ, overlong.c_str(),
                    DWORD(overlong.size() + 1));
    copyText(settings->htmlEditorPath, "kept");
    copyText(settings->wapEmulatorPath, "also kept");
    loadToolSettings(*settings);
    EXPECT_STREQ(settings->htmlEditorPath, "kept");
    EXPECT_STREQ(settings->wapEmulatorPath, "also kept");
}

TEST_F(ToolSettingsTest, LastOpenDirIsReadBackAsWritten) {
    char folder[kPathSize];
    EXPECT_FALSE(readLastOpenDir(folder));
    EXPECT_STREQ(folder, "");
    writeLastOpenDir("C:\\books\\");
    EXPECT_EQ(storedSize("LastOpenDir"), DWORD(10));
    ASSERT_TRUE(readLastOpenDir(folder));
    EXPECT_STREQ(folder, "C:\\books\\");
}

}  // namespace
