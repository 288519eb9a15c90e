#include <gtest/gtest.h>

#include <string>

#include "model/NativePaths.h"
#include "model/Paths.h"

namespace {

std::string folderOf(const char* path) {
    char out[kPathSize];
    folderOfPath(path, out);
    return out;
}

std::string plainFolderOf(const char* path) {
    char out[kPathSize];
    plainFolderOfPath(path, out);
    return out;
}

std::string fileNameOf(const char* path) {
    char out[kPathSize];
    fileNameOfPath(path, out);
    return out;
}

std::string baseNameOf(const char* path) {
    char out[kPathSize];
    baseNameOfPath(path, out);
    return out;
}

TEST(FolderOfPath, KeepsEveryComponentButTheLastWithBackslashes) {
    EXPECT_EQ(folderOf("C:\\books\\a.opf"), "C:\\books\\");
    EXPECT_EQ(folderOf("C:/books/novel/a.opf"), "C:\\books\\novel\\");
    EXPECT_EQ(folderOf("C:\\books\\\\novel//a.opf"), "C:\\books\\novel\\");
    EXPECT_EQ(folderOf("a.opf"), "");
    EXPECT_EQ(folderOf(""), "");
}

TEST(FolderOfPath, TreatsTheComponentBeforeAFinalSeparatorAsTheLast) {
    EXPECT_EQ(folderOf("C:\\books\\novel\\"), "C:\\books\\");
    EXPECT_EQ(folderOf("\\books\\a.opf"), "books\\");
}

TEST(FolderOfPath, KeepsTheDoubleBackslashOfANetworkPathUnlessPlain) {
    EXPECT_EQ(folderOf("\\\\server\\share\\book.opf"), "\\\\server\\share\\");
    EXPECT_EQ(plainFolderOf("\\\\server\\share\\book.opf"), "server\\share\\");
    EXPECT_EQ(folderOf("//server/share/book.opf"), "server\\share\\");
}

TEST(FolderOfPath, NeverOverrunsItsBufferForLongPaths) {
    std::string longPath = "C:";
    for (int i = 0; i < 60; ++i) longPath += "\\abcdefgh";
    char out[kPathSize + 8];
    std::fill(std::begin(out), std::end(out), 'z');
    folderOfPath(longPath.c_str(), out);
    EXPECT_LT(std::string(out).size(), size_t(kPathSize));
    EXPECT_EQ(out[kPathSize + 7], 'z');
}

TEST(FileNameOfPath, GivesTheLastComponent) {
    EXPECT_EQ(fileNameOf("C:\\books\\a.opf"), "a.opf");
    EXPECT_EQ(fileNameOf("pics/cover.gif"), "cover.gif");
    EXPECT_EQ(fileNameOf("C:\\books\\"), "books");
    EXPECT_EQ(fileNameOf("\\\\"), "\\\\");
    EXPECT_EQ(fileNameOf(""), "");
}

TEST(BaseNameOfPath, CutsAtTheFirstDotAfterLeadingDots) {
    EXPECT_EQ(baseNameOf("C:\\t\\my.book.txt"), "my");
    EXPECT_EQ(baseNameOf("..hidden.txt"), "hidden");
    EXPECT_EQ(baseNameOf("C:\\t\\..."), "");
    EXPECT_EQ(baseNameOf("noext"), "noext");
}

TEST(EndsWithNoCase, MatchesBareCharactersIgnoringCase) {
    EXPECT_TRUE(endsWithNoCase("photo.GIF", "gif"));
    EXPECT_TRUE(endsWithNoCase("photo.xgif", "gif"));
    EXPECT_TRUE(endsWithNoCase("abc", ""));
    EXPECT_FALSE(endsWithNoCase("if", "gif"));
    EXPECT_FALSE(endsWithNoCase("page.htm", "html"));
}

TEST(AppendIfMissing, LooksForTheSuffixAnywhereWithCase) {
    char text[kPathSize] = "book.opf.bak";
    appendIfMissing(text, ".opf");
    EXPECT_STREQ(text, "book.opf.bak");
    char other[kPathSize] = "book.OPF";
    appendIfMissing(other, ".opf");
    EXPECT_STREQ(other, "book.OPF.opf");
}

TEST(AppendIfMissing, CutsTheSuffixRatherThanOverrun) {
    char text[kPathSize];
    std::string full(254, 'a');
    std::copy(full.begin(), full.end(), text);
    text[254] = '\0';
    appendIfMissing(text, ".opf");
    EXPECT_EQ(std::string(text), full + ".");
}

TEST(MakeRelativePath, StripsTheBaseFolderIgnoringCase) {
    char out[kPathSize] = "unchanged";
    EXPECT_TRUE(makeRelativePath("C:\\Books\\", "c:\\books\\images\\cover.gif", out));
    EXPECT_STREQ(out, "images\\cover.gif");
    EXPECT_TRUE(makeRelativePath("C:\\Books\\", "C:\\BOOKS\\a.htm", out));
    EXPECT_STREQ(out, "a.htm");
    EXPECT_TRUE(makeRelativePath("", "D:\\x.htm", out));
    EXPECT_STREQ(out, "D:\\x.htm");
}

TEST(MakeRelativePath, RefusesASiblingFolderWithTheSamePrefix) {
    char out[kPathSize] = "unchanged";
    EXPECT_FALSE(makeRelativePath("C:\\books\\", "C:\\books2\\a.htm", out));
    EXPECT_STREQ(out, "unchanged");
}

TEST(NativePaths, MapDriveZToTheRootAndBackslashesToSlashes) {
    std::string native;
    ASSERT_TRUE(programPathToNative("Z:\\home\\ann\\book.opf", &native));
    EXPECT_EQ(native, "/home/ann/book.opf");
    ASSERT_TRUE(programPathToNative("z:/home//ann\\", &native));
    EXPECT_EQ(native, "/home/ann/");
    ASSERT_TRUE(programPathToNative("Z:", &native));
    EXPECT_EQ(native, "/");
    ASSERT_TRUE(programPathToNative("pics\\a.gif", &native));
    EXPECT_EQ(native, "pics/a.gif");
    ASSERT_TRUE(programPathToNative("\\tmp\\x", &native));
    EXPECT_EQ(native, "/tmp/x");
}

TEST(NativePaths, RefuseOtherDrivesAndNetworkPaths) {
    std::string native;
    EXPECT_FALSE(programPathToNative("C:\\books\\a.opf", &native));
    EXPECT_FALSE(programPathToNative("\\\\server\\share\\a.opf", &native));
    EXPECT_FALSE(programPathToNative("", &native));
}

TEST(NativePaths, TurnPosixPathsIntoProgramForm) {
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
