// The command-line import with hostile and unlucky inputs: special and huge
// sources, files already in its way, failures half way, markup in names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/Files.h"
#include "tests/support/RunProgram.h"
#include "tests/support/SpecialFiles.h"
#include "tests/support/TempFolder.h"

namespace {

class ImportSafetyTest : public ::testing::Test {
protected:
    TempFolder tmp;
    TempFolder scratch;

    ProgramResult run(std::vector<std::string> arguments) {
        return runProgram(QB_IMPORT_PROGRAM, arguments, scratch.path());
    }
    std::string path(const std::string& name) { return commandLinePath(tmp.file(name)); }
};

TEST_F(ImportSafetyTest, SpecialAndHugeSourcesAreRefusedAtOnce) {
    bool haveFifo = makeFifo(tmp.file("pipe.txt"));
    FifoUnblocker pipeEnd(tmp.file("pipe.txt"));
    if (!makeSparseFile(tmp.file("huge.txt"), (uint64_t(1) << 32) + 300))
        GTEST_SKIP() << "no sparse file can be made here";
    struct Case {
        const char* source;
        bool present;
    } cases[] = {{"pipe.txt", haveFifo}, {"huge.txt", true}};
    for (const Case& c : cases) {
        if (!c.present) continue;
        ProgramResult result = run({"--dest", path(""), path(c.source)});
        EXPECT_EQ(result.exitCode, 1) << c.source;
        EXPECT_NE(result.err.find("Unable to open the file"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.source), std::string::npos) << result.err;
        std::string base = std::string(c.source).substr(0, 4);
        EXPECT_FALSE(tmp.exists(base + "*.htm")) << c.source;
        EXPECT_FALSE(tmp.exists(base + ".opf")) << c.source;
    }
}

}  // namespace
