#include "CommandLine.h"

#include <cstdio>
#include <string>

#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "publish/BuildDriver.h"

namespace {

// A name, a dot and a three-letter extension at the least.
constexpr size_t kShortestBatchPath = 5;

// Windows quotes a path that holds blanks (every double-clicked file): the
// path runs to the closing quotation mark, or to the end of the line when
// there is none, and the marks are not part of it.
std::string_view unquoted(std::string_view text) {
    size_t close = text.find('"', 1);
    return text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
}

}  // namespace

StartChoice chooseStart(const char* commandLine) {
    StartChoice choice;
    std::string_view line = commandLine != nullptr ? commandLine : "";
    size_t start = line.find_first_not_of(' ');
    if (start == std::string_view::npos) return choice;
    if (line[start] == '"') {
        choice.kind = StartKind::openPackage;
        choice.path = unquoted(line.substr(start));
        return choice;
    }
    size_t end = line.find(' ', start);
    std::string_view token =
        line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (token == "-b") {
        choice.kind = StartKind::batchBuild;
        std::string_view rest = end == std::string_view::npos ? std::string_view() : line.substr(end + 1);
        choice.path = rest.starts_with('"') ? unquoted(rest) : rest;
        return choice;
    }
    choice.kind = StartKind::openPackage;
    choice.path = token;
    return choice;
}

int runBatchBuild(std::string_view typedPath) {
    std::string typed(typedPath);
    if (typed.size() < kShortestBatchPath) {
        std::fprintf(stderr, "quirebound: the package path \"%s\" is too short to name a package\n",
                     typed.c_str());
        return 1;
    }
    char packagePath[kPathSize];
    if (!argumentToProgramPath(typed.c_str(), packagePath)) {
        std::fprintf(stderr, "quirebound: the package path \"%s\" is too long\n", typed.c_str());
        return 1;
    }
    int status = batchBuild(packagePath, true);
    if (status == 0) {
        char target[kPathSize];
        batchTargetPath(packagePath, target);
        // The writer's progress line has no line end of its own.
        std::printf("\n%s\n", programPathForDisplay(target).c_str());
    }
    std::fflush(stdout);
    return status;
}
