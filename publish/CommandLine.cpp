#include "CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "model/Text.h"

namespace {

// One option: what it sets, and whether the next argument is its value.
// A new option is a field of BatchRequest and a row here.
struct OptionRow {
    const char* name;
    const char* otherName;
    bool BatchRequest::*flag;
    const char* BatchRequest::*value;
};

constexpr OptionRow kBatchOptions[] = {
    {"-b", nullptr, &BatchRequest::publish, nullptr},
    {"-o", "--output", nullptr, &BatchRequest::ebookPath},
    {"--format", nullptr, nullptr, &BatchRequest::format},
    {"--cover", nullptr, nullptr, &BatchRequest::coverPath},
    {"--strict", nullptr, &BatchRequest::strict, nullptr},
    {"--allow-outside-files", nullptr, &BatchRequest::allowOutsideFiles, nullptr},
    {"-h", "--help", &BatchRequest::help, nullptr},
    {"--version", nullptr, &BatchRequest::version, nullptr},
};

std::string_view unquoted(std::string_view text);
const OptionRow* optionNamed(std::string_view argument);
// Whether the arguments read make sense together; the problem when not.
// Sets the format they choose.
std::string requestProblem(BatchRequest& request);
// The format a word names; false for none.
bool formatNamed(std::string_view word, EbookFormat* format);
// One package as typed, into the e-book typedEbook names (null: beside it).
int publishTyped(std::string_view typedPath, const BatchRequest& request, const char* heading);

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
        // The options the Windows program takes before its path, in any order.
        for (bool more = true; more;) {
            more = false;
            if (!choice.allowOutsideFiles && (rest == kAllowOutsideFiles || rest.starts_with(std::string(kAllowOutsideFiles) + " "))) {
                choice.allowOutsideFiles = true;
                rest = rest.substr(std::min(rest.size(), std::string_view(kAllowOutsideFiles).size() + 1));
                more = true;
            } else if (choice.format.empty() && rest.starts_with("--format ")) {
                rest.remove_prefix(9);
                size_t wordEnd = rest.find(' ');
                choice.format = rest.substr(0, wordEnd);
                rest = wordEnd == std::string_view::npos ? std::string_view() : rest.substr(wordEnd + 1);
                more = true;
            }
        }
        choice.path = rest.starts_with('"') ? unquoted(rest) : rest;
        return choice;
    }
    choice.kind = StartKind::openPackage;
    choice.path = token;
    return choice;
}

int runBatchBuild(std::string_view typedPath, bool allowOutsideFiles, std::string_view typedFormat) {
    BatchRequest request;
    request.allowOutsideFiles = allowOutsideFiles;
    if (!typedFormat.empty() && !formatNamed(typedFormat, &request.ebookFormat)) {
        std::fprintf(stderr, "quirebound: unknown format \"%s\" (prc or epub)\n", std::string(typedFormat).c_str());
        return 2;
    }
    return publishTyped(typedPath, request, nullptr);
}

BatchRequest readBatchArguments(int argc, const char* const* argv) {
    BatchRequest request;
    bool optionsEnd = false;
    for (int i = 1; i < argc && request.problem.empty(); ++i) {
        std::string_view argument = argv[i];
        if (optionsEnd || argument.size() < 2 || argument[0] != '-') {
            request.packages.push_back(argv[i]);
        } else if (argument == "--") {
            optionsEnd = true;
        } else if (const OptionRow* row = optionNamed(argument); row == nullptr) {
            request.problem = "unknown option: " + std::string(argument);
        } else if (row->flag != nullptr) {
            request.*row->flag = true;
        } else if (i + 1 == argc) {
            request.problem = "missing value after " + std::string(argument);
        } else {
            request.*row->value = argv[++i];
        }
    }
    if (request.problem.empty()) request.problem = requestProblem(request);
    return request;
}

int runBatchRequest(const BatchRequest& request) {
    int status = 0;
    bool several = request.packages.size() > 1;
    for (const char* package : request.packages) {
        if (publishTyped(package, request, several ? package : nullptr) != 0)
            status = 1;
    }
    return status;
}

namespace {

// Windows quotes a path that holds blanks (every double-clicked file): the
// path runs to the closing quotation mark, or to the end of the line when
// there is none, and the marks are not part of it.
std::string_view unquoted(std::string_view text) {
    size_t close = text.find('"', 1);
    return text.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
}

const OptionRow* optionNamed(std::string_view argument) {
    for (const OptionRow& row : kBatchOptions) {
        if (argument == row.name || (row.otherName != nullptr && argument == row.otherName)) return &row;
    }
    return nullptr;
}

std::string requestProblem(BatchRequest& request) {
    if (request.help || request.version) return "";
    if (!request.publish) return request.packages.empty() ? "" : "packages are published with -b";
    if (request.packages.empty()) return "-b needs a package";
    if (request.ebookPath != nullptr && request.packages.size() > 1)
        return "-o names the eBook of one package only";
    // The e-book's extension chooses its format unless --format says it.
    EbookFormat named = EbookFormat::prc;
    bool byName = request.ebookPath != nullptr && formatNamed(std::strrchr(request.ebookPath, '.') != nullptr
                                                                  ? std::strrchr(request.ebookPath, '.') + 1
                                                                  : "",
                                                              &named);
    if (request.format != nullptr) {
        if (!formatNamed(request.format, &request.ebookFormat))
            return "unknown format " + std::string(request.format) + " (prc or epub)";
        if (byName && named != request.ebookFormat)
            return "-o " + std::string(request.ebookPath) + " names another format than --format " + request.format;
    } else if (byName) {
        request.ebookFormat = named;
    }
    if (request.coverPath != nullptr && request.ebookFormat != EbookFormat::epub)
        return "--cover is for EPUB e-books (--format epub)";
    return "";
}

bool formatNamed(std::string_view word, EbookFormat* format) {
    auto is = [&](const char* name) {
        return word.size() == std::strlen(name) && startsWithNoCase(std::string(word).c_str(), name);
    };
    if (is("prc")) {
        *format = EbookFormat::prc;
        return true;
    }
    if (is("epub")) {
        *format = EbookFormat::epub;
        return true;
    }
    return false;
}

int publishTyped(std::string_view typedPath, const BatchRequest& request, const char* heading) {
    const char* typedEbook = request.ebookPath;
    std::string typed(typedPath);
    if (typed.empty()) {
        std::fprintf(stderr, "quirebound: the package path \"%s\" is too short to name a package\n",
                     typed.c_str());
        return 1;
    }
    char packagePath[kPathSize];
    if (!argumentToProgramPath(typed.c_str(), packagePath)) {
        std::fprintf(stderr, "quirebound: the package path \"%s\" is too long\n", typed.c_str());
        return 1;
    }
    char ebookPath[kPathSize] = "";
    if (typedEbook != nullptr && !argumentToProgramPath(typedEbook, ebookPath)) {
        std::fprintf(stderr, "quirebound: the eBook path \"%s\" is too long\n", typedEbook);
        return 1;
    }
    char coverPath[kPathSize] = "";
    if (request.coverPath != nullptr && !argumentToProgramPath(request.coverPath, coverPath)) {
        std::fprintf(stderr, "quirebound: the cover path \"%s\" is too long\n", request.coverPath);
        return 1;
    }
    StandardErrorBuildReporter reporter;
    reporter.heading = heading;
    BatchOptions options;
    options.ebookPath = ebookPath;
    options.allowOutsideFiles = request.allowOutsideFiles;
    options.format = request.ebookFormat;
    options.coverPath = coverPath;
    int status = batchBuild(packagePath, options, reporter);
    if (status == 0) {
        if (ebookPath[0] == '\0') batchTargetPath(packagePath, ebookPath, options.format);
        std::printf("%s\n", programPathForDisplay(ebookPath).c_str());
        std::fflush(stdout);
        if (request.strict && reporter.notes > 0) {
            std::fprintf(stderr, "quirebound: %s: the publishing report names what to fix (--strict)\n",
                         typed.c_str());
            status = 1;
        }
    }
    return status;
}

}  // namespace
