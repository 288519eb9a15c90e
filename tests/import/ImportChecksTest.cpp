// The checks of the Import Wizard's pages, which quirebound-import runs too.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "import/ImportChecks.h"
#include "resources/ResourceIds.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(ImportChecksTest, TheSourcePageRefusesInItsOrder) {
    TempFolder tmp;
    tmp.write("alice.txt", "Chapter 1\r\n");
    tmp.write("notes.opf", "a package would be written over this");
    tmp.write("file", "not a folder");
    tmp.makeFolder("sub.txt");
    const std::string folder = tmp.path().substr(0, tmp.path().size() - 1);
    struct Case {
        std::string source, destination;
        int32_t expected;
    } const cases[] = {
        {tmp.file("missing.txt"), tmp.path(), IDS_IMPORT_BAD_SOURCE},
        {tmp.file("sub.txt"), tmp.path(), IDS_IMPORT_BAD_SOURCE},
        {tmp.file("missing.txt"), tmp.file("nowhere"), IDS_IMPORT_BAD_SOURCE},
        // Nothing there yet: the wizard offers to make the folder.
        {tmp.file("alice.txt"), tmp.file("nowhere\\deeper"), IDS_ASK_CREATE_FOLDER},
        {tmp.file("alice.txt"), tmp.file("file"), IDS_IMPORT_BAD_DESTINATION},
        {tmp.file("alice.txt"), folder + std::string(255 - folder.size(), 'd'), IDS_IMPORT_BAD_DESTINATION},
        // The package of the import would be its source.
        {tmp.file("notes.opf"), folder, IDS_IMPORT_OVER_SOURCE},
        {tmp.file("alice.txt"), folder, 0},
    };
    for (const Case& c : cases) {
        auto job = std::make_unique<ImportJob>();
        char named[kPathSize] = "";
        EXPECT_EQ(checkSourcePage(*job, c.source.c_str(), c.destination.c_str(), named), c.expected)
            << c.source;
        if (c.expected == IDS_IMPORT_OVER_SOURCE || c.expected == IDS_ASK_CREATE_FOLDER) {
            EXPECT_EQ(std::string(named), c.expected == IDS_ASK_CREATE_FOLDER ? tmp.file("nowhere\\deeper\\")
                                                                               : c.source);
        }
        if (c.expected == 0) {
            // Typed without its backslash, stored with it.
            EXPECT_EQ(std::string(job->destinationFolder), tmp.path());
        }
    }
}

TEST(ImportChecksTest, TheTagAndMetadataPagesRefuseWhatTheImportCannotUse) {
    auto job = std::make_unique<ImportJob>();
    EXPECT_EQ(checkHeadingTags(*job, "h1,toolongtagname"), IDS_IMPORT_BAD_TAGS);
    EXPECT_EQ(checkHeadingTags(*job, "h1, H2"), 0);
    EXPECT_EQ(job->headingTags.count, 2);
    EXPECT_EQ(checkMetadataPage(""), IDS_IMPORT_NO_TITLE);
    EXPECT_EQ(checkMetadataPage("Alice"), 0);
}

}  // namespace
