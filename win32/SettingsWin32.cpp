#include "win32/DialogFunctionsWin32.h"
#include "win32/ExternalPrograms.h"
#include "model/Text.h"

namespace {

constexpr char kSettingsKey[] = "SOFTWARE\\Quirebound\\Publisher";

// The key, created when missing; null when the registry refuses it.
HKEY openSettingsKey();
// Reads a string value of at most 256 bytes into field; a missing or longer
// value leaves the field as it was.
bool readValue(HKEY key, const char* name, char* field);
// A string value of the text's own length and its terminator.
void writeString(HKEY key, const char* name, const char* text);

}  // namespace

void loadToolSettings(ToolSettings& settings) {
    HKEY key = openSettingsKey();
    if (key == nullptr) return;
    readValue(key, "HTMLEditor", settings.htmlEditorPath);
    readValue(key, "PalmOsEmul", settings.palmOsEmulatorPath);
    readValue(key, "WapEmul", settings.wapEmulatorPath);
    // "1" while the Options sheet's box is ticked.
    char allow[kPathSize] = "";
    if (readValue(key, "AllowOutsideFiles", allow)) settings.allowOutsideFiles = equalsNoCase(allow, "1");
    RegCloseKey(key);
}

void saveToolSettings(const ToolSettings& settings) {
    HKEY key = openSettingsKey();
    if (key == nullptr) return;
    writeString(key, "HTMLEditor", settings.htmlEditorPath);
    writeString(key, "PalmOsEmul", settings.palmOsEmulatorPath);
    writeString(key, "WapEmul", settings.wapEmulatorPath);
    writeString(key, "AllowOutsideFiles", settings.allowOutsideFiles ? "1" : "0");
    RegCloseKey(key);
}

bool readLastOpenDir(char* out) {
    out[0] = '\0';
    HKEY key = openSettingsKey();
    if (key == nullptr) return false;
    bool found = readValue(key, "LastOpenDir", out);
    RegCloseKey(key);
    return found && out[0] != '\0';
}

void writeLastOpenDir(const char* folder) {
    HKEY key = openSettingsKey();
    if (key == nullptr) return;
    writeString(key, "LastOpenDir", folder);
    RegCloseKey(key);
}

namespace {

HKEY openSettingsKey() {
    HKEY key = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKey, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

bool readValue(HKEY key, const char* name, char* field) {
    char value[kPathSize + 1] = {};
    DWORD size = kPathSize;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ) return false;
    // A value stored without its terminator still ends inside the buffer.
    value[size < kPathSize ? size : kPathSize] = '\0';
    copyText(field, kPathSize, value);
    return true;
}

void writeString(HKEY key, const char* name, const char* text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), DWORD(lstrlenA(text) + 1));
}

}  // namespace
