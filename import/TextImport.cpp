#include "TextImport.h"

#include <cstring>

#include "GeneratedPages.h"
#include "model/TagScanner.h"

namespace {

constexpr int kMatchTextLength = kImportTextSize - 1;
constexpr int kMaxSkipped = 100;

bool walkPattern(ImportJob& job, int first, char* out);
bool isLoneLineFeed(ImportJob& job, int c, uint32_t after);
bool isPatternLineEnd(const uint8_t* pattern, int index, int last);
bool isInNumberSet(int c);
bool isLowerCaseLetter(int c);
bool joinHyphenatedLineEnd(ImportJob& job);
void writeLineEnd(ImportJob& job);
void writeContent(ImportJob& job, const char* text);

}  // namespace

int matchHeading(ImportJob& job, char* out) {
    int c = readChar(job.source);
    if (c < 0) {
        closeSource(job);
        return -1;
    }
    out[0] = char(c);
    out[1] = '\0';
    const auto* pattern = reinterpret_cast<const uint8_t*>(job.searchPattern);
    if (job.searchPatternLength <= 0) return 0;
    uint32_t restart = getFilePosition(job.source);
    bool loneLineEnd =
        isPatternLineEnd(pattern, 0, job.searchPatternLength - 1) && isLoneLineFeed(job, c, restart);
    if (pattern[0] != '\\' && pattern[0] != c && !loneLineEnd) return 0;
    if (walkPattern(job, c, out)) return 1;
    // A failed candidate, or one that the end of the source cut short: the
    // next call tries again one byte further, so its bytes are not lost.
    setFilePosition(job.source, restart);
    out[0] = char(c);
    out[1] = '\0';
    return 0;
}

bool importPlainTextByte(ImportJob& job, int c) {
    ++job.charactersInContentFile;
    bool loneLineFeed = isLoneLineFeed(job, c, getFilePosition(job.source));
    if ((c == '\r' || loneLineFeed) &&
        int64_t(job.charactersInContentFile) >= int64_t(job.splitSize) * 1024 &&
        canOpenAnotherContentFile(job)) {
        closeContentFile(job);
        if (job.failed || !openNextContentFile(job)) {
            abandonImport(job);
            return false;
        }
        // The LF half of the line end, as after a split CR LF.
        if (loneLineFeed) writeLineEnd(job);
        return true;
    }
    if (c != '\r' && c != '\n') {
        job.lineEndRun = 0;
        if (c == '-' && job.suppressHyphen && joinHyphenatedLineEnd(job)) return true;
        writeContentByte(job, char(c));
        return true;
    }
    // A lone LF counts as both bytes of a CR LF.
    writeLineEnd(job);
    if (loneLineFeed) writeLineEnd(job);
    return true;
}

namespace {

// The candidate starts with first, already in out. True with the match text
// in out; false when the candidate fails or the source ends inside it.
bool walkPattern(ImportJob& job, int first, char* out) {
    const auto* pattern = reinterpret_cast<const uint8_t*>(job.searchPattern);
    const int last = job.searchPatternLength - 1;
    int used = 1;
    int current = first;
    int index = 0;
    bool escape = false;
    int skipped = 0;
    int numberRun = 0;
    // A lone LF (no CR before it) stands for a whole CR LF of the pattern.
    auto loneLineFeed = [&]() {
        if (current != '\n') return false;
        if (used >= 2) return out[used - 2] != '\r';
        return isLoneLineFeed(job, current, getFilePosition(job.source));
    };
    auto readNext = [&]() {
        int next = readChar(job.source);
        if (next < 0 || used == kMatchTextLength) return false;
        out[used++] = char(next);
        current = next;
        return true;
    };
    // The last byte of the pattern is never compared: reaching it succeeds.
    while (index < last) {
        int element = pattern[index];
        if (!escape) {
            if (element == '\\') {
                escape = true;
                ++index;
                continue;
            }
            if (element != current) {
                if (!isPatternLineEnd(pattern, index, last) || !loneLineFeed()) return false;
                // Both pattern bytes are taken by the one LF; a pattern that
                // ends with them is matched without reading on.
                index += 2;
                if (index > last) break;
                if (!readNext()) return false;
                continue;
            }
            ++index;
            if (!readNext()) return false;
            continue;
        }
        int ending = pattern[index + 1];
        bool endsAtLoneLineFeed = isPatternLineEnd(pattern, index + 1, last) && loneLineFeed();
        switch (element) {
            case '*':
                escape = false;
                ++index;
                break;
            case '$':
                if (current <= 13 || isLowerCaseLetter(current)) return false;
                escape = false;
                ++index;
                break;
            case '1':
                if (numberRun > 0 && endsAtLoneLineFeed) {
                    escape = false;
                    index += 3;
                } else if (numberRun > 0 && current == ending) {
                    escape = false;
                    numberRun = 0;
                    index += 2;
                } else {
                    if (!isInNumberSet(current)) return false;
                    ++numberRun;
                }
                break;
            case 'x':
            case 'X':
                if (endsAtLoneLineFeed) {
                    escape = false;
                    index += 3;
                } else if (current == ending) {
                    escape = false;
                    skipped = 0;
                    index += 2;
                } else {
                    if (element == 'X' && isLowerCaseLetter(current)) return false;
                    if (++skipped == kMaxSkipped) return false;
                }
                break;
            default:
                return false;
        }
        if (index > last) break;
        if (!readNext()) return false;
    }
    out[used] = '\0';
    return true;
}

// c was read just before the position after; the byte before it decides.
bool isLoneLineFeed(ImportJob& job, int c, uint32_t after) {
    if (c != '\n') return false;
    if (after < 2) return true;
    setFilePosition(job.source, after - 2);
    int before = readChar(job.source);
    setFilePosition(job.source, after);
    return before != '\r';
}

// The compiled \n: CR then LF, both within the pattern.
bool isPatternLineEnd(const uint8_t* pattern, int index, int last) {
    return index + 1 <= last && pattern[index] == '\r' && pattern[index + 1] == '\n';
}

bool isInNumberSet(int c) {
    return c != 0 && std::strchr("1234567890IVXCL ", c) != nullptr;
}

bool isLowerCaseLetter(int c) {
    return c >= 'a' && c <= 'z';
}

// A hyphen right before CR LF (or a lone LF) joins the two halves of the
// word: the line end is dropped with it. Only an LF is dropped after the CR,
// so a file with bare CR line ends keeps the next line's first letter.
bool joinHyphenatedLineEnd(ImportJob& job) {
    uint32_t after = getFilePosition(job.source);
    int next = readChar(job.source);
    if (next == '\n') return true;
    if (next != '\r') {
        setFilePosition(job.source, after);
        return false;
    }
    if (readChar(job.source) != '\n') setFilePosition(job.source, after + 1);
    return true;
}

void writeLineEnd(ImportJob& job) {
    int run = ++job.lineEndRun;
    if (run == 1) writeContent(job, " ");
    if (job.lineEndMode == LineEndMode::allCarriageReturns && run == 1) {
        writeContent(job, "<BR>\r\n");
    } else if (run == 3) {
        writeContent(job, "<BR>\r\n");
    } else if (run == 4) {
        job.lineEndRun = 0;
        if (job.paragraphOpen) {
            job.paragraphOpen = 0;
            writeContent(job, "</P>\r\n");
        } else {
            job.paragraphOpen = 1;
            writeContent(job, "\r\n<P>");
        }
    }
}

void writeContent(ImportJob& job, const char* text) {
    job.contentWriter.writeString(text);
}

}  // namespace
