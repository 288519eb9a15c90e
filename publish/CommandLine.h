// What the Windows program's command line asks for at start: tokens are
// cut at blanks only, "-b" is exact, and the rest of the line behind it is
// the package path as it stands, after the options "--allow-outside-files"
// and "--format WORD" when they follow "-b" (each once, in either order).
// A path in quotation marks (first token, or the rest behind "-b") keeps
// its blanks and loses the marks. Elsewhere the
// shell has split the line, and the batch program reads its arguments as
// options and packages (BatchRequest).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "BuildDriver.h"

enum class StartKind {
    emptyEditor,  // no token
    openPackage,  // the first token names a package to open
    batchBuild,   // "-b" and a package path
};

struct StartChoice {
    StartKind kind = StartKind::emptyEditor;
    // batchBuild: "-b --format WORD PATH" names the format (the word as
    // typed); the path then follows the blank behind the word.
    std::string_view format;
    // openPackage: the first token; batchBuild: the remainder of the line
    // behind the blank that ends "-b", blanks included (empty when none).
    // Either without its quotation marks when it opens with one.
    std::string_view path;
    // The build may read files outside the package's folder tree.
    bool allowOutsideFiles = false;
};

inline constexpr const char* kAllowOutsideFiles = "--allow-outside-files";

StartChoice chooseStart(const char* commandLine);

// Runs the batch build of a path typed on the command line: refuses an
// empty path, makes the path absolute against the current folder, and
// returns the process's exit status (0 only when the e-book was written).
// Messages go to standard error, the e-book's path to standard output.
int runBatchBuild(std::string_view typedPath, bool allowOutsideFiles = false, std::string_view typedFormat = {});

// What an argument list split by a shell asks of the batch program: each
// argument is an option of the table in CommandLine.cpp, its value, or a
// package.
struct BatchRequest {
    bool publish = false;  // -b
    bool strict = false;
    bool help = false;
    bool version = false;
    bool allowOutsideFiles = false;
    const char* ebookPath = nullptr;  // -o, as typed
    const char* format = nullptr;     // --format, as typed
    const char* coverPath = nullptr;  // --cover, as typed
    // What --format and -o choose together (valid when problem is empty).
    EbookFormat ebookFormat = EbookFormat::prc;
    std::vector<const char*> packages;
    // Why the arguments cannot be followed; empty when they can.
    std::string problem;
};

BatchRequest readBatchArguments(int argc, const char* const* argv);
// Publishes the packages in turn, each as runBatchBuild does, and goes on
// after one that fails. Result: 0 when every e-book was written (with
// --strict, also without notes in its publishing report), otherwise 1.
int runBatchRequest(const BatchRequest& request);
