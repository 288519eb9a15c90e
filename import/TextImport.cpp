#include "TextImport.h"

#include <cstdio>
#include <cstring>

#include "GeneratedPages.h"
#include "model/TagScanner.h"

namespace {

constexpr int kMatchTextLength = kFieldSize - 1;
constexpr int kMaxSkipped = 100;

// The longest character in the source's bytes.
constexpr int kCharacterBytes = 4;

int readCharacter(ImportJob& job, char* bytes, int* count);
bool walkPattern(ImportJob& job, int first, int used, char* out);
bool isLoneLineFeed(ImportJob& job, int c, uint32_t after);
bool isPatternLineEnd(const uint8_t* pattern, int index, int last);
bool isInNumberSet(int c);
bool isLowerCaseLetter(int c);
bool joinHyphenatedLineEnd(ImportJob& job);
void writeLineEnd(ImportJob& job);
void writeContent(ImportJob& job, const char* text);
void writePlainCharacter(ImportJob& job, int32_t c);

}  // namespace

int matchHeading(ImportJob& job, char* out) {
    char first[kCharacterBytes];
    int count = 0;
    int c = readCharacter(job, first, &count);
    if (c < 0) {
        closeSource(job);
        return -1;
    }
    std::memcpy(out, first, size_t(count));
    out[count] = '\0';
    job.plainCharacter = c;
    const auto* pattern = reinterpret_cast<const uint8_t*>(job.searchPattern);
    if (job.searchPatternLength <= 0) return 0;
    uint32_t restart = getFilePosition(job.source);
    bool loneLineEnd =
        isPatternLineEnd(pattern, 0, job.searchPatternLength - 1) && isLoneLineFeed(job, c, restart);
    // A heading is written as a string: one with a NUL byte would lose it.
    if (c == 0 || (pattern[0] != '\\' && pattern[0] != c && !loneLineEnd)) return 0;
    if (walkPattern(job, c, count, out)) return 1;
    // A failed candidate, or one that the end of the source cut short: the
    // next call tries again one character further, so its bytes are not lost.
    setFilePosition(job.source, restart);
    std::memcpy(out, first, size_t(count));
    out[count] = '\0';
    return 0;
}

bool importPlainCharacter(ImportJob& job, int32_t c) {
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
        writePlainCharacter(job, c);
        return true;
    }
    // A lone LF counts as both bytes of a CR LF.
    writeLineEnd(job);
    if (loneLineFeed) writeLineEnd(job);
    return true;
}

void headingAsMarkup(const ImportJob& job, const char* heading, char* out, size_t capacity) {
    Utf8ToAnsi decoder;
    char piece[2 * kAnsiOutBytes];
    out[0] = '\0';
    for (const char* c = heading; *c != '\0'; ++c) {
        auto byte = static_cast<uint8_t>(*c);
        const char* entity = byte == '<' ? "&lt;" : byte == '>' ? "&gt;" : byte == '&' ? "&amp;" : nullptr;
        int length = 0;
        if (entity != nullptr) {
            // Markup characters are never inside a UTF-8 sequence.
            length = decoder.finish(piece);
            length += std::snprintf(piece + length, kAnsiOutBytes, "%s", entity);
        } else if (job.utf8Source) {
            length = decoder.feed(byte, piece);
        } else {
            piece[length++] = char(byte);
        }
        piece[length] = '\0';
        appendText(out, capacity, piece);
    }
    int length = decoder.finish(piece);
    piece[length] = '\0';
    appendText(out, capacity, piece);
}

namespace {

// One character of the source: of a UTF-8 source all bytes of it, in
// bytes; *count says how many. Its value as ansiCharacterOf gives it; -1 at
// the end. A byte that begins no whole UTF-8 sequence is a character alone.
int readCharacter(ImportJob& job, char* bytes, int* count) {
    int first = readChar(job.source);
    *count = 1;
    if (first < 0) return -1;
    bytes[0] = char(first);
    if (!job.utf8Source || first < 0xC2 || first > 0xF4) return first;
    int length = first < 0xE0 ? 2 : first < 0xF0 ? 3 : 4;
    uint32_t code = uint32_t(first) & (0x3Fu >> (length - 1));
    uint32_t after = getFilePosition(job.source);
    for (int i = 1; i < length; ++i) {
        int next = readChar(job.source);
        if (next < 0 || (next & 0xC0) != 0x80) {
            setFilePosition(job.source, after);
            return first;
        }
        bytes[i] = char(next);
        code = code << 6 | (uint32_t(next) & 0x3Fu);
    }
    *count = length;
    return ansiCharacterOf(code);
}

// The candidate starts with first, whose used bytes are in out. True with
// the match text in out; false when the candidate fails, meets a NUL byte
// or the source ends inside it.
bool walkPattern(ImportJob& job, int first, int used, char* out) {
    const auto* pattern = reinterpret_cast<const uint8_t*>(job.searchPattern);
    const int last = job.searchPatternLength - 1;
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
        char bytes[kCharacterBytes];
        int count = 0;
        int next = readCharacter(job, bytes, &count);
        if (next <= 0 || used + count > kMatchTextLength) return false;
        std::memcpy(out + used, bytes, size_t(count));
        used += count;
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
    return c > 0 && c < 0x80 && std::strchr("1234567890IVXCL ", c) != nullptr;
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
            job.paragraphOpen = false;
            writeContent(job, "</P>\r\n");
        } else {
            job.paragraphOpen = true;
            writeContent(job, "\r\n<P>");
        }
    }
}

void writeContent(ImportJob& job, const char* text) {
    job.contentWriter.writeString(text);
}

// Plain text is text in the page: its markup characters become entities,
// and a character that Windows-1252 lacks a reference.
void writePlainCharacter(ImportJob& job, int32_t c) {
    if (c == '<') return writeContent(job, "&lt;");
    if (c == '>') return writeContent(job, "&gt;");
    if (c == '&') return writeContent(job, "&amp;");
    if (c < kReferencedCharacter) return writeContentByte(job, char(c));
    char reference[kAnsiOutBytes];
    std::snprintf(reference, sizeof reference, "&#%d;", int(c - kReferencedCharacter));
    writeContent(job, reference);
}

}  // namespace
