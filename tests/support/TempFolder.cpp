#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "model/Files.h"
#include "model/NativePaths.h"

void writeWholeFile(const std::string& path, const std::string& bytes) {
    FileHandle file = openFile(path.c_str(), OpenMode::create);
    ASSERT_NE(file, kInvalidFileHandle) << path;
    EXPECT_TRUE(writeBytes(file, bytes.data(), static_cast<uint32_t>(bytes.size())));
    EXPECT_TRUE(closeFile(file));
}

std::string readWholeFile(const std::string& path) {
    FileHandle file = openFile(path.c_str(), OpenMode::read);
    if (file == kInvalidFileHandle) {
        ADD_FAILURE() << "cannot open " << path;
        return {};
    }
    std::string bytes(getFileLength(file), '\0');
    EXPECT_TRUE(readBytes(file, bytes.data(), static_cast<uint32_t>(bytes.size())));
    closeFile(file);
    return bytes;
}

void TempFolder::write(const std::string& name, const std::string& bytes) const {
    writeWholeFile(file(name), bytes);
}

std::string TempFolder::read(const std::string& name) const {
    return readWholeFile(file(name));
}

bool TempFolder::exists(const std::string& name) const {
    return fileExists(file(name).c_str());
}

void TempFolder::copyFrom(const std::string& sourceFolder, std::initializer_list<const char*> names) const {
    for (const char* name : names) {
        std::string relative = sourceFolder + "/" + name;
        std::replace(relative.begin(), relative.end(), '\\', '/');
        write(name, readWholeFile(sourceFile(relative)));
    }
}

void TempFolder::copySample() const {
    makeFolder("text");
    makeFolder("images");
    copyFrom("samples/lantern", {"lantern.opf", "cover.htm", "toc.htm", "text\\ch1.htm", "text\\ch2.htm",
                                 "text\\ch3.htm", "images\\lantern.gif"});
}

std::string sourceFile(const std::string& relative) {
    char path[1024];
    EXPECT_TRUE(
        nativePathToProgram((std::string(QB_SOURCE_DIR) + "/" + relative).c_str(), path, sizeof path));
    return path;
}
