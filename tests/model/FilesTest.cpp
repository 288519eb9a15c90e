#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "model/Files.h"
#include "model/WorkFolder.h"
#include "tests/support/SpecialFiles.h"
#include "tests/support/TempFolder.h"

namespace {

class FilesTest : public ::testing::Test {
protected:
    TempFolder tmp;
};

TEST_F(FilesTest, OnlyRegularFilesBelow4GiBOpenAndAnythingElseIsRefusedAtOnce) {
    tmp.makeFolder("sub");
    // A FIFO would hold an open until its other end opens: it must not be tried.
    bool haveFifo = makeFifo(tmp.file("pipe"));
    FifoUnblocker pipeEnd(tmp.file("pipe"));
    bool haveHuge = makeSparseFile(tmp.file("huge"), (uint64_t(1) << 32) + 300);
    EXPECT_EQ(fileSize(tmp.file("huge").c_str()), haveHuge ? (uint64_t(1) << 32) + 300 : 0);
    const std::pair<const char*, bool> refused[] = {{"missing.txt", true},
                                                    {"sub", true},
                                                    {"no\\such\\a.txt", true},
                                                    {"pipe", haveFifo},
                                                    {"huge", haveHuge}};
    for (const auto& [name, present] : refused) {
        if (!present) continue;
        noteFileError("");
        OpenMode mode = name[0] == 'n' ? OpenMode::create : OpenMode::read;
        EXPECT_EQ(openFile(tmp.file(name).c_str(), mode), kInvalidFileHandle) << name;
        EXPECT_STRNE(lastFileError(), "") << name;
    }
    EXPECT_TRUE(closeFile(0));
}

TEST_F(FilesTest, ByteAtATimeUseKeepsThePositionExactAndCostsFewSystemCalls) {
    const uint32_t size = 200000;
    FileCallCounts before = fileCallCounts();
    FileHandle file = openFile(tmp.file("work.tmp").c_str(), OpenMode::readWrite);
    ASSERT_NE(file, kInvalidFileHandle);
    EXPECT_EQ(unreadByte(file), -1);
    for (uint32_t i = 0; i < size; ++i) {
        char c = char(i * 7);
        ASSERT_TRUE(writeBytes(file, &c, 1));
    }
    setFilePosition(file, 0);
    for (uint32_t i = 0; i < size; ++i) ASSERT_EQ(readByte(file), uint8_t(i * 7)) << i;
    EXPECT_EQ(readByte(file), -1);
    // Walk all the way back across several windows.
    for (uint32_t i = size; i-- > 0;) ASSERT_EQ(unreadByte(file), uint8_t(i * 7)) << i;
    EXPECT_EQ(getFilePosition(file), 0u);
    EXPECT_LT(fileCallCounts().systemWrites - before.systemWrites, 20u);
    EXPECT_LT(fileCallCounts().systemReads - before.systemReads, 20u);
    // readBytes is true only for the whole count.
    char buffer[8] = {};
    setFilePosition(file, size - 4);
    EXPECT_TRUE(readBytes(file, buffer, 2));
    EXPECT_EQ(uint8_t(buffer[1]), uint8_t((size - 3) * 7));
    EXPECT_FALSE(readBytes(file, buffer, 4));
    EXPECT_EQ(getFilePosition(file), size);
    EXPECT_TRUE(closeFile(file));
    EXPECT_EQ(fileSize(tmp.file("work.tmp").c_str()), size);
}

TEST_F(FilesTest, OverwritesInPlaceMixWithReadsAndAppends) {
    std::string path = tmp.file("mixed.tmp");
    FileHandle file = openFile(path.c_str(), OpenMode::readWrite);
    ASSERT_NE(file, kInvalidFileHandle);
    std::string body(100000, '.');
    ASSERT_TRUE(writeText(file, body.c_str()));
    EXPECT_EQ(getFileLength(file), 100000u);
    // Overwrite far behind the end, read back, then append again.
    setFilePosition(file, 10);
    ASSERT_TRUE(writeText(file, "XXXX"));
    EXPECT_EQ(getFilePosition(file), 14u);
    EXPECT_EQ(readByte(file), '.');
    setFilePosition(file, 9);
    EXPECT_EQ(readByte(file), '.');
    EXPECT_EQ(readByte(file), 'X');
    EXPECT_EQ(unreadByte(file), 'X');
    EXPECT_EQ(unreadByte(file), '.');
    setFilePosition(file, getFileLength(file));
    ASSERT_TRUE(writeLineEnd(file));
    EXPECT_EQ(getFileLength(file), 100002u);
    // A large direct write over cached bytes must not leave them stale.
    setFilePosition(file, 0);
    EXPECT_EQ(readByte(file), '.');
    setFilePosition(file, 0);
    std::string large(70000, 'L');
    ASSERT_TRUE(writeBytes(file, large.data(), uint32_t(large.size())));
    setFilePosition(file, 5);
    EXPECT_EQ(readByte(file), 'L');
    EXPECT_TRUE(closeFile(file));
    std::string expected = large + body.substr(70000) + "\r\n";
    EXPECT_EQ(readWholeFile(path), expected);
}

TEST_F(FilesTest, ExistenceCoversFilesFoldersAndWildcards) {
    tmp.write("Chapter1.htm", "x");
    tmp.makeFolder("images");
    EXPECT_TRUE(fileExists(tmp.file("Chapter1.htm").c_str()));
    EXPECT_TRUE(fileExists(tmp.file("images").c_str()));
    EXPECT_FALSE(fileExists(tmp.file("nothing.htm").c_str()));
    EXPECT_TRUE(fileExists(tmp.file("*.htm").c_str()));
    EXPECT_TRUE(fileExists(tmp.file("chapter?.HTM").c_str()));
    EXPECT_FALSE(fileExists(tmp.file("*.gif").c_str()));
    EXPECT_FALSE(fileExists(tmp.file("chapter?x.htm").c_str()));
    EXPECT_EQ(fileSize(tmp.file("nothing.htm").c_str()), 0u);
}

TEST_F(FilesTest, NamesDifferingOnlyInCaseAreFound) {
    tmp.makeFolder("Text");
    tmp.write("Text\\Chapter1.HTM", "hello");
    std::string other = tmp.file("text\\chapter1.htm");
    EXPECT_TRUE(fileExists(other.c_str()));
    EXPECT_EQ(fileSize(other.c_str()), 5u);
    EXPECT_EQ(readWholeFile(other), "hello");
    // Creating under another case replaces the existing file, as on Windows.
    writeWholeFile(other, "bye");
    EXPECT_EQ(tmp.read("Text\\Chapter1.HTM"), "bye");
    EXPECT_TRUE(deleteFile(other.c_str()));
    EXPECT_FALSE(tmp.exists("Text\\Chapter1.HTM"));
}

// Writes the whole text through one handle; false when any step fails.
bool writeThrough(const std::string& path, const std::string& text) {
    FileHandle file = openFile(path.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return false;
    bool written = writeBytes(file, text.data(), uint32_t(text.size()));
    return closeFile(file) && written;
}

// The same through a safe file; false when any step fails.
bool writeSafely(const std::string& path, const std::string& text, bool replace = true) {
    SafeFile safe;
    if (!openSafeFile(safe, path.c_str())) return false;
    writeText(safe.file, text.c_str());
    return commitSafeFile(safe, replace);
}

TEST_F(FilesTest, AnInjectedFaultFailsItsOperationsWithItsReasonUntilCleared) {
    const std::string big(100000, 'b');
    const std::string a = tmp.file("a.txt"), b = tmp.file("b.txt");
    struct Case {
        FileFault kind;
        uint64_t after;
        std::function<bool()> step;
        std::string aLeft;   // what a.txt holds after the failed step
        std::string aAfter;  // and after the step without the fault
    } cases[] = {
        // A large write reaches the system at once and puts down what fits.
        {FileFault::write, 10, [&] { return writeThrough(a, big); }, big.substr(0, 10), big},
        // Small writes wait in the buffer and fail when it goes down.
        {FileFault::write, 0, [&] { return writeThrough(a, "abc"); }, "", "abc"},
        {FileFault::create, 1, [&] { return writeThrough(b, "x") && writeThrough(a, "new"); }, "old", "new"},
        {FileFault::rename, 0, [&] { return writeThrough(b, "new") && replaceFile(b.c_str(), a.c_str()); },
         "old", "new"},
        {FileFault::close, 1, [&] { return writeThrough(b, "x") && writeThrough(a, "new"); }, "new", "new"},
        // A safe file takes its target's name only once it is on the disk.
        {FileFault::flush, 0, [&] { return writeSafely(a, "new"); }, "old", "new"},
        {FileFault::rename, 0, [&] { return writeSafely(a, "new"); }, "old", "new"},
    };
    for (const Case& c : cases) {
        tmp.write("a.txt", "old");
        {
            ScopedFileFault fault(c.kind, c.after, "No space left on device");
            EXPECT_FALSE(c.step()) << int(c.kind);
            EXPECT_STREQ(lastFileError(), "No space left on device");
            EXPECT_EQ(tmp.read("a.txt"), c.aLeft) << int(c.kind);
        }
        EXPECT_TRUE(c.step()) << int(c.kind);
        EXPECT_EQ(tmp.read("a.txt"), c.aAfter) << int(c.kind);
    }
    EXPECT_FALSE(replaceFile(tmp.file("gone").c_str(), a.c_str()));
    EXPECT_FALSE(tmp.exists("a.txt.saving"));
}

TEST_F(FilesTest, ASafeFileReplacesANameNeverTheFileALinkPointsTo) {
    tmp.write("victim.txt", "victim");
    bool links = makeSymlink(tmp.file("victim.txt"), tmp.file("probe"));
    struct Case {
        std::string atTarget, atPartial;  // "link", "file", "folder" or nothing
        bool replace;
        bool written;
    } cases[] = {
        {"link", "", true, true},    {"", "link", true, true},   {"", "file", true, true},
        {"file", "", false, false}, {"link", "", false, false}, {"", "", false, true},
        {"", "folder", true, false},
    };
    const std::string target = tmp.file("x.htm"), partial = target + ".saving";
    for (const Case& c : cases) {
        if (!links && (c.atTarget == "link" || c.atPartial == "link")) continue;
        for (const auto& [what, path] : {std::pair(c.atTarget, target), std::pair(c.atPartial, partial)}) {
            deleteFile(path.c_str());
            if (what == "file") writeWholeFile(path, "old");
            if (what == "folder") tmp.makeFolder("x.htm.saving");
            if (what == "link") makeSymlink(tmp.file("victim.txt"), path);
        }
        EXPECT_EQ(writeSafely(target, "new", c.replace), c.written) << c.atTarget << c.atPartial << c.replace;
        EXPECT_EQ(tmp.read("victim.txt"), "victim");
        if (c.written) {
            EXPECT_EQ(tmp.read("x.htm"), "new");
        }
        EXPECT_EQ(fileExists(partial.c_str()), c.atPartial == "folder");
    }
}

TEST_F(FilesTest, InsideAFolderIsJudgedWithLinksAndDotsResolved) {
    tmp.makeFolder("book");
    tmp.makeFolder("book\\sub");
    tmp.makeFolder("books2");
    tmp.write("book\\a.htm", "a");
    tmp.write("secret.htm", "s");
    bool links = makeSymlink(tmp.file("secret.htm"), tmp.file("book\\out.htm")) &&
                 makeSymlink(tmp.file("books2"), tmp.file("book\\away")) &&
                 makeSymlink(tmp.file("book\\a.htm"), tmp.file("book\\in.htm")) &&
                 makeSymlink(tmp.file("book"), tmp.file("shelf"));
    const struct {
        const char* path;
        bool inside;
        bool needsLinks = false;
    } cases[] = {
        {"book\\a.htm", true},          {"BOOK\\SUB\\..\\A.HTM", true}, {"book\\missing\\new.htm", true},
        {"book\\..\\secret.htm", false}, {"book\\gone\\..\\..\\secret.htm", false},
        {"books2\\a.htm", false},       {"book", false},                 {"book\\out.htm", false, true},
        {"book\\away\\x.htm", false, true}, {"book\\in.htm", true, true}, {"shelf\\a.htm", true, true},
    };
    for (const auto& c : cases) {
        if (c.needsLinks && !links) continue;
        EXPECT_EQ(isInsideFolder(tmp.file("book\\").c_str(), tmp.file(c.path).c_str()), c.inside) << c.path;
    }
}

TEST_F(FilesTest, AWorkFolderLeavesRunningOnesAndLookAlikesAlone) {
    tmp.write("PRCbuild_1.tmp", "user's");
    tmp.makeFolder("PRCbuild_2.tmp");
    tmp.write("PRCbuild_2.tmp\\work.lock", "user's");
    tmp.write("PRCbuild_2.tmp\\PRCtemp_1.tmp", "user's");
    WorkFolder first, second;
    ASSERT_TRUE(openWorkFolder(first, tmp.path().c_str(), "PRCbuild_"));
    EXPECT_EQ(std::string(first.path), tmp.file("PRCbuild_3.tmp\\"));
    tmp.write("PRCbuild_3.tmp\\PRCtemp_1.tmp", "the build's");
    ASSERT_TRUE(openWorkFolder(second, tmp.path().c_str(), "PRCbuild_"));
    EXPECT_EQ(std::string(second.path), tmp.file("PRCbuild_4.tmp\\"));
    EXPECT_TRUE(tmp.exists("PRCbuild_3.tmp\\PRCtemp_1.tmp"));
    closeWorkFolder(first);
    closeWorkFolder(second);
    EXPECT_FALSE(tmp.exists("PRCbuild_3.tmp"));
    EXPECT_FALSE(tmp.exists("PRCbuild_4.tmp"));
    for (const char* name : {"PRCbuild_1.tmp", "PRCbuild_2.tmp\\work.lock", "PRCbuild_2.tmp\\PRCtemp_1.tmp"})
        EXPECT_EQ(tmp.read(name), "user's") << name;
}

TEST(CurrentFolder, IsAnAbsoluteProgramPath) {
    char folder[256];
    ASSERT_TRUE(currentFolder(folder, sizeof folder));
    EXPECT_EQ(folder[1], ':');
    EXPECT_TRUE(fileExists(folder));
    char tiny[2];
    EXPECT_FALSE(currentFolder(tiny, sizeof tiny));
}

}  // namespace
