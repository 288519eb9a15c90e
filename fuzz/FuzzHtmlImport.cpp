// Arbitrary bytes as the body of an HTML source: the import must end, and
// whatever package it writes must open and list only pages that exist. No
// text is lost: the content file holds the body's text between tags, line
// ends aside, wherever no quoted value can hide a tag's end.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>

#include "FuzzScratch.h"
#include "import/GeneratedPages.h"
#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/Files.h"
#include "model/Publication.h"
#include "model/Text.h"

namespace {

std::string scratchFolder() {
    mkdir(("/tmp/qb-fuzz-html-" + std::to_string(getpid())).c_str(), 0700);
    return fuzzScratchPath("html", "/");
}

// Text outside "<" ... ">", CR, LF and NUL left out; with quotesRefused, false
// when a tag holds a quotation mark, whose value may run past its first ">".
bool plainText(const std::string& html, bool quotesRefused, std::string* text);
std::string fileText(const std::string& path);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = scratchFolder();
    static const std::string source = folder + "page.htm";
    static std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();
    static std::unique_ptr<Publication> package = std::make_unique<Publication>();
    const std::string body(reinterpret_cast<const char*>(data), size);
    FileHandle file = openFile(source.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
    writeText(file, "<html><body>");
    writeBytes(file, data, static_cast<uint32_t>(size));
    closeFile(file);

    job->reset();
    setSourcePath(*job, source.c_str());
    setDestinationFolder(*job, folder.c_str());
    job->sourceKind = SourceKind::html;
    job->replaceExisting = true;
    parseHeadingTags(*job, "H1,H2,P");
    copyText(job->bookTitle, "T");
    ImportOutcome outcome = runImport(*job);
    if (outcome != ImportOutcome::done) return 0;
    package->clear();
    if (!package->open(job->packagePath)) __builtin_trap();
    for (int32_t i = 0; i < package->manifestCount; ++i) {
        std::string page = folder + package->manifest[i].href;
        if (!fileExists(page.c_str())) __builtin_trap();
    }
    std::string lower = body;
    for (char& c : lower) c = char(upperAscii(c));
    std::string in;
    std::string out;
    if (lower.find("/BODY") != std::string::npos || !plainText(body, true, &in)) return 0;
    std::string content = fileText(folder + "page_1.htm");
    size_t start = content.find("<body>");
    size_t stop = content.rfind("</body>");
    if (start == std::string::npos || stop == std::string::npos || stop < start) __builtin_trap();
    plainText(content.substr(start + 6, stop - start - 6), false, &out);
    if (out != in) __builtin_trap();
    return 0;
}

namespace {

bool plainText(const std::string& html, bool quotesRefused, std::string* text) {
    text->clear();
    for (size_t i = 0; i < html.size(); ++i) {
        size_t end = html[i] == '<' ? html.find('>', i) : std::string::npos;
        if (end == std::string::npos) {
            // A NUL is no character of a page: a heading's text ends at one.
            if (html[i] != '\r' && html[i] != '\n' && html[i] != '\0') *text += html[i];
            continue;
        }
        if (quotesRefused && html.find_first_of("\"'", i) < end) return false;
        i = end;
    }
    return true;
}

std::string fileText(const std::string& path) {
    FileHandle file = openFile(path.c_str(), OpenMode::read);
    std::string bytes(getFileLength(file), '\0');
    if (!readBytes(file, bytes.data(), uint32_t(bytes.size()))) bytes.clear();
    closeFile(file);
    return bytes;
}

}  // namespace
