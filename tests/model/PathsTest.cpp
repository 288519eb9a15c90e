#include <gtest/gtest.h>

#include <string>

#include "model/NativePaths.h"
#include "model/Paths.h"

namespace {

using PathFunction = void (*)(const char*, char*);

struct PathCase {
    PathFunction function;
    const char* name;
    const char* path;
    const char* expected;
};

TEST(PathParts, AreTakenApartAsTheTableSays) {
    const PathCase cases[] = {
        {folderOfPath, "folder", "C:\\books\\a.opf", "C:\\books\\"},
        {folderOfPath, "folder", "C:/books/novel/a.opf", "C:\\books\\novel\\"},
        {folderOfPath, "folder", "C:\\books\\\\novel//a.opf", "C:\\books\\novel\\"},
        {folderOfPath, "folder", "a.opf", ""},
        {folderOfPath, "folder", "", ""},
        // The component before a final separator is the last one.
        {folderOfPath, "folder", "C:\\books\\novel\\", "C:\\books\\"},
        {folderOfPath, "folder", "\\books\\a.opf", "books\\"},
        // A network path keeps its double backslash unless plain.
        {folderOfPath, "folder", "\\\\server\\share\\book.opf", "\\\\server\\share\\"},
        {plainFolderOfPath, "plain folder", "\\\\server\\share\\book.opf", "server\\share\\"},
        {folderOfPath, "folder", "//server/share/book.opf", "server\\share\\"},
        {fileNameOfPath, "file name", "C:\\books\\a.opf", "a.opf"},
        {fileNameOfPath, "file name", "pics/cover.gif", "cover.gif"},
        {fileNameOfPath, "file name", "C:\\books\\", "books"},
        {fileNameOfPath, "file name", "\\\\", "\\\\"},
        {fileNameOfPath, "file name", "", ""},
        // Cut at the first dot after leading dots.
        {baseNameOfPath, "base name", "C:\\t\\my.book.txt", "my"},
        {baseNameOfPath, "base name", "..hidden.txt", "hidden"},
        {baseNameOfPath, "base name", "C:\\t\\...", ""},
        {baseNameOfPath, "base name", "noext", "noext"},
    };
    for (const PathCase& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " of " + c.path);
        char out[kPathSize];
        c.function(c.path, out);
        EXPECT_STREQ(out, c.expected);
    }
}

TEST(PathParts, NeverOverrunTheirBufferForLongPaths) {
    std::string longPath = "C:";
    for (int i = 0; i < 60; ++i) longPath += "\\abcdefgh";
    char out[kPathSize + 8];
    std::fill(std::begin(out), std::end(out), 'z');
    folderOfPath(longPath.c_str(), out);
    EXPECT_LT(std::string(out).size(), size_t(kPathSize));
    EXPECT_EQ(out[kPathSize + 7], 'z');
}

TEST(PathSuffixes, AreMatchedAppendedAndCutAsDocumented) {
    EXPECT_TRUE(endsWithNoCase("photo.GIF", "gif"));
    EXPECT_TRUE(endsWithNoCase("photo.xgif", "gif"));
    EXPECT_TRUE(endsWithNoCase("abc", ""));
    EXPECT_FALSE(endsWithNoCase("if", "gif"));
    EXPECT_FALSE(endsWithNoCase("page.htm", "html"));
    // appendIfMissing cuts rather than overrun.
    std::string full(254, 'a');
    char full254[kPathSize];
    std::copy(full.begin(), full.end(), full254);
    full254[254] = '\0';
    appendIfMissing(full254, ".opf");
    EXPECT_EQ(std::string(full254), full + ".");
}

TEST(MakeRelativePath, StripsTheBaseFolderIgnoringCaseButRefusesASibling) {
    char out[kPathSize] = "unchanged";
    EXPECT_FALSE(makeRelativePath("C:\\books\\", "C:\\books2\\a.htm", out));
    EXPECT_STREQ(out, "unchanged");
    EXPECT_TRUE(makeRelativePath("C:\\Books\\", "c:\\books\\images\\cover.gif", out));
    EXPECT_STREQ(out, "images\\cover.gif");
    EXPECT_TRUE(makeRelativePath("C:\\Books\\", "C:\\BOOKS\\a.htm", out));
    EXPECT_STREQ(out, "a.htm");
    EXPECT_TRUE(makeRelativePath("", "D:\\x.htm", out));
    EXPECT_STREQ(out, "D:\\x.htm");
}

TEST(NativePaths, MapDriveZToTheRootBothWaysAndRefuseOtherDrives) {
    const std::pair<const char*, const char*> mapped[] = {{"Z:\\home\\ann\\book.opf", "/home/ann/book.opf"},
                                                          {"z:/home//ann\\", "/home/ann/"},
                                                          {"Z:", "/"},
                                                          {"pics\\a.gif", "pics/a.gif"},
                                                          {"\\tmp\\x", "/tmp/x"}};
    for (const auto& [program, expected] : mapped) {
        std::string native;
        ASSERT_TRUE(programPathToNative(program, &native)) << program;
        EXPECT_EQ(native, expected) << program;
    }
    std::string native;
    for (const char* refused : {"C:\\books\\a.opf", "\\\\server\\share\\a.opf", ""})
        EXPECT_FALSE(programPathToNative(refused, &native)) << refused;
    char out[kPathSize];
    ASSERT_TRUE(nativePathToProgram("/home/ann/book.opf", out, sizeof out));
    EXPECT_STREQ(out, "Z:\\home\\ann\\book.opf");
    ASSERT_TRUE(nativePathToProgram("/", out, sizeof out));
    EXPECT_STREQ(out, "Z:\\");
    char small[8];
    EXPECT_FALSE(nativePathToProgram("/home/ann", small, sizeof small));
    EXPECT_LT(std::string(small).size(), sizeof small);
}

}  // namespace
