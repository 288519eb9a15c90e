#include <gtest/gtest.h>

#include <string>

#include "publish/CommandLine.h"
#include "model/Text.h"

namespace {

struct Expected {
    const char* line;
    StartKind kind;
    const char* path;
    bool allowOutsideFiles = false;
    const char* format = "";
};

// The first token is cut at blanks only, a quoted path runs to its closing
// quote, and only an exact small b starts the batch build with the rest.
TEST(ChooseStart, TakesThePathAndKindAsTheTableSays) {
    const Expected cases[] = {
        {"", StartKind::emptyEditor, ""},
        {"    ", StartKind::emptyEditor, ""},
        {"book.opf", StartKind::openPackage, "book.opf"},
        {"  C:\\books\\book.opf", StartKind::openPackage, "C:\\books\\book.opf"},
        {"my book.opf", StartKind::openPackage, "my"},
        {"tab\tinside.opf more", StartKind::openPackage, "tab\tinside.opf"},
        {"-b C:\\my books\\a.opf", StartKind::batchBuild, "C:\\my books\\a.opf"},
        {"  -b book.opf  ", StartKind::batchBuild, "book.opf  "},
        {"-b  twice.opf", StartKind::batchBuild, " twice.opf"},
        {"-b", StartKind::batchBuild, ""},
        {"-b ", StartKind::batchBuild, ""},
        {"-B book.opf", StartKind::openPackage, "-B"},
        {"-bbook.opf", StartKind::openPackage, "-bbook.opf"},
        {"--b book.opf", StartKind::openPackage, "--b"},
        {"\"C:\\Documents and Settings\\ann\\book.opf\"", StartKind::openPackage,
         "C:\\Documents and Settings\\ann\\book.opf"},
        {"  \"C:\\a b\\x.opf\" more", StartKind::openPackage, "C:\\a b\\x.opf"},
        {"\"C:\\no end\\x.opf", StartKind::openPackage, "C:\\no end\\x.opf"},
        {"-b \"C:\\a b\\x.opf\"", StartKind::batchBuild, "C:\\a b\\x.opf"},
        {"-b \"C:\\a b\\x.opf", StartKind::batchBuild, "C:\\a b\\x.opf"},
        {"-b C:\\a \"b\".opf", StartKind::batchBuild, "C:\\a \"b\".opf"},
        {"-b --allow-outside-files \"C:\\a b\\x.opf\"", StartKind::batchBuild, "C:\\a b\\x.opf", true},
        {"-b --allow-outside-files", StartKind::batchBuild, "", true},
        {"-b --allow-outside-filesx.opf", StartKind::batchBuild, "--allow-outside-filesx.opf"},
        {"-b --format epub C:\\my books\\a.opf", StartKind::batchBuild, "C:\\my books\\a.opf", false, "epub"},
        {"-b --format epub \"C:\\a b\\x.opf\"", StartKind::batchBuild, "C:\\a b\\x.opf", false, "epub"},
        {"-b --format", StartKind::batchBuild, "--format"},
        {"-b --formats a.opf", StartKind::batchBuild, "--formats a.opf"},
        {"-b --format epub --allow-outside-files a b.opf", StartKind::batchBuild, "a b.opf", true, "epub"},
        {"-b --allow-outside-files --allow-outside-files a.opf", StartKind::batchBuild, "--allow-outside-files a.opf", true},
    };
    for (const Expected& c : cases) {
        StartChoice choice = chooseStart(c.line);
        EXPECT_EQ(choice.kind, c.kind) << c.line;
        EXPECT_EQ(std::string(choice.path), c.path) << c.line;
        EXPECT_EQ(choice.allowOutsideFiles, c.allowOutsideFiles) << c.line;
        EXPECT_EQ(std::string(choice.format), c.format) << c.line;
    }
}

TEST(ComposeTextAndNumber, AppendsTheNumberWithoutABlankAndStaysInItsBuffer) {
    char out[32];
    composeTextAndNumber("Building eBook records...", 12, out, sizeof out);
    EXPECT_STREQ(out, "Building eBook records...12");
    composeTextAndNumber("n=", -40, out, sizeof out);
    EXPECT_STREQ(out, "n=-40");
    char small[8];
    composeTextAndNumber("Merging manifest files...", 3, small, sizeof small);
    EXPECT_STREQ(small, "Merging");
}

}  // namespace
