// Arbitrary bytes as a search string (up to the first NUL) and a text: the
// text import must lose no character. Its content files, their markup taken
// out and their entities read back, hold the source's text (in the 8-bit
// text when the source is UTF-8), line ends and blanks aside.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "FuzzScratch.h"
#include "import/ImportJob.h"
#include "import/ImportRun.h"
#include "model/Files.h"
#include "model/Text.h"

namespace {

std::string scratchFolder() {
    mkdir(("/tmp/qb-fuzz-textimport-" + std::to_string(getpid())).c_str(), 0700);
    return fuzzScratchPath("textimport", "/");
}

std::string readWhole(const std::string& path) {
    FileHandle file = openFile(path.c_str(), OpenMode::read);
    if (file == kInvalidFileHandle) __builtin_trap();
    std::string bytes(getFileLength(file), '\0');
    if (!readBytes(file, bytes.data(), uint32_t(bytes.size()))) __builtin_trap();
    closeFile(file);
    return bytes;
}

// Without line ends and blanks, which the import turns into markup.
std::string withoutBlanks(const std::string& text) {
    std::string kept;
    for (char c : text)
        if (c != '\r' && c != '\n' && c != ' ') kept += c;
    return kept;
}

// The text of a content file: its body without tags, "&lt;", "&gt;" and
// "&amp;" read back. A "<" of the source is written "&lt;", so every tag
// is the import's own.
std::string textOfPage(const std::string& page) {
    size_t start = page.find("<body>");
    size_t end = page.rfind("</body>");
    if (start == std::string::npos || end == std::string::npos || end < start) __builtin_trap();
    std::string text;
    bool inTag = false;
    for (size_t i = start + 6; i < end; ++i) {
        if (page[i] == '<') inTag = true;
        if (!inTag) text += page[i];
        if (page[i] == '>') inTag = false;
    }
    std::string read;
    for (size_t i = 0; i < text.size(); ++i) {
        bool entity = false;
        for (const auto& [name, c] : {std::pair{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}}) {
            if (text.compare(i, std::strlen(name), name) == 0) {
                read += c;
                i += std::strlen(name) - 1;
                entity = true;
                break;
            }
        }
        if (!entity) read += text[i];
    }
    return read;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = scratchFolder();
    static const std::string source = folder + "book.txt";
    static std::unique_ptr<ImportJob> job = std::make_unique<ImportJob>();
    const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    size_t searchLength = nul != nullptr ? size_t(nul - data) : 0;
    if (searchLength > 255) return 0;
    std::string search(reinterpret_cast<const char*>(data), searchLength);
    std::string text(reinterpret_cast<const char*>(data) + (nul != nullptr ? searchLength + 1 : 0),
                     reinterpret_cast<const char*>(data) + size);
    FileHandle file = openFile(source.c_str(), OpenMode::create);
    if (file == kInvalidFileHandle) return 0;
    writeBytes(file, text.data(), static_cast<uint32_t>(text.size()));
    closeFile(file);

    job->reset();
    setSourcePath(*job, source.c_str());
    setDestinationFolder(*job, folder.c_str());
    job->replaceExisting = true;
    job->suppressHyphen = 0;
    compileSearchString(*job, search.c_str());
    copyText(job->bookTitle, "T");
    if (runImport(*job) != ImportOutcome::done) return 0;

    // UTF-8: a byte-order mark, or UTF-8 throughout.
    bool mark = text.rfind("\xEF\xBB\xBF", 0) == 0;
    Utf8Check check;
    for (char c : text) check.feed(uint8_t(c));
    bool utf8 = mark || check.isUtf8();
    if (job->utf8Source != utf8) __builtin_trap();
    std::string expected;
    Utf8ToAnsi decoder;
    char piece[kAnsiOutBytes];
    for (size_t i = mark ? 3 : 0; i < text.size(); ++i) {
        int n = utf8 ? decoder.feed(uint8_t(text[i]), piece) : (piece[0] = text[i], 1);
        expected.append(piece, size_t(n));
    }
    expected.append(piece, size_t(decoder.finish(piece)));

    std::string pages;
    for (int32_t n = 1; n <= job->contentFileCount; ++n) {
        std::string page = readWhole(folder + job->contentFiles[n]);
        if ((page.find("charset=windows-1252") < page.find("<body>")) != utf8) __builtin_trap();
        pages += textOfPage(page);
    }
    if (withoutBlanks(pages) != withoutBlanks(expected)) __builtin_trap();
    return 0;
}
