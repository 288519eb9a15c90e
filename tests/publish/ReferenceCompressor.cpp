#include "tests/publish/ReferenceCompressor.h"

#include <cstring>

namespace {

// The first pass: literals, a space joined to the next character, and copies.
struct FirstPass {
    std::vector<uint8_t> out;
    bool spacePending = false;

    void literal(uint8_t byte) {
        if (!spacePending) {
            if (byte == 0x20) {
                spacePending = true;
            } else {
                emitPlain(byte);
            }
            return;
        }
        spacePending = false;
        if (byte >= 0x40 && byte <= 0x7F) {
            out.push_back(byte ^ 0x80);
        } else {
            out.push_back(0x20);
            emitPlain(byte);
        }
    }
    void emitPlain(uint8_t byte) {
        if (byte == 0x00 || (byte >= 0x09 && byte <= 0x7F)) {
            out.push_back(byte);
        } else {
            out.push_back(0x01);
            out.push_back(byte);
        }
    }
};

// The second pass: consecutive escapes become one count byte and up to 8 bytes.
std::vector<uint8_t> mergeEscapes(const std::vector<uint8_t>& tokens) {
    std::vector<uint8_t> merged;
    size_t i = 0;
    while (i < tokens.size()) {
        uint8_t b = tokens[i];
        if (b >= 0x80 && b <= 0xBF) {
            merged.push_back(b);
            merged.push_back(tokens[i + 1]);
            i += 2;
        } else if (b == 0x01) {
            size_t countAt = merged.size();
            merged.push_back(1);
            merged.push_back(tokens[i + 1]);
            i += 2;
            while (i + 1 < tokens.size() && tokens[i] == 0x01 && merged[countAt] < 8) {
                ++merged[countAt];
                merged.push_back(tokens[i + 1]);
                i += 2;
            }
        } else {
            merged.push_back(b);
            ++i;
        }
    }
    return merged;
}

}  // namespace

std::vector<uint8_t> referenceCompress(const uint8_t* input, uint32_t length) {
    FirstPass pass;
    const uint32_t n = length;
    if (n == 0) return {};
    uint32_t c = 0, m = 1, w = 0;
    while (c != n) {
        if (c - w > 2047) w = c - 2047;
        uint32_t l = m - c;
        uint32_t p = w;
        while (std::memcmp(input + p, input + c, l) != 0) ++p;  // stops at c at the latest
        if (p < c && l <= 10 && m != n) {
            w = p;
            ++m;
            continue;
        }
        if (l < 4) {
            pass.literal(input[c]);
            ++c;
        } else {
            if (pass.spacePending) {
                pass.out.push_back(0x20);
                pass.spacePending = false;
            }
            uint32_t d = c - w;
            uint32_t v = (d << 3) + (l - 4);
            pass.out.push_back(uint8_t(0x80 + (v >> 8)));
            pass.out.push_back(uint8_t(v & 0xFF));
            c = m - 1;
        }
        w = 0;
        if (m != n) ++m;
    }
    if (pass.spacePending) pass.out.push_back(0x20);
    return mergeEscapes(pass.out);
}

namespace {

// Common words in rough order of frequency; earlier ones are drawn more often.
const char* const kWords[] = {
    "the",      "of",      "and",     "to",      "a",       "in",      "that",    "is",      "was",
    "he",       "for",     "it",      "with",    "as",      "his",     "on",      "be",      "at",
    "by",       "I",       "this",    "had",     "not",     "are",     "but",     "from",    "or",
    "have",     "an",      "they",    "which",   "one",     "you",     "were",    "her",     "all",
    "she",      "there",   "would",   "their",   "we",      "him",     "been",    "has",     "when",
    "who",      "will",    "more",    "no",      "if",      "out",     "so",      "said",    "what",
    "up",       "its",     "about",   "into",    "than",    "them",    "can",     "only",    "other",
    "new",      "some",    "could",   "time",    "these",   "two",     "may",     "then",    "do",
    "first",    "any",     "my",      "now",     "such",    "like",    "our",     "over",    "man",
    "me",       "even",    "most",    "made",    "after",   "also",    "did",     "many",    "before",
    "must",     "through", "back",    "years",   "where",   "much",    "your",    "way",     "well",
    "down",     "should",  "because", "each",    "just",    "those",   "people",  "how",     "too",
    "little",   "state",   "good",    "very",    "make",    "world",   "still",   "own",     "see",
    "men",      "work",    "long",    "get",     "here",    "between", "both",    "life",    "being",
    "under",    "never",   "day",     "same",    "another", "know",    "while",   "last",    "might",
    "us",       "great",   "old",     "year",    "off",     "come",    "since",   "against", "go",
    "came",     "right",   "used",    "take",    "three",   "house",   "without", "again",   "place",
    "around",   "however", "home",    "small",   "found",   "thought", "went",    "say",     "part",
    "once",     "general", "high",    "upon",    "school",  "every",   "look",    "night",   "water",
    "river",    "garden",  "letter",  "window",  "morning", "silence", "journey", "captain", "village",
    "mountain", "evening", "promise", "kingdom", "shadow",  "whisper", "harbour", "lantern", "orchard",
};
constexpr uint32_t kWordCount = sizeof kWords / sizeof kWords[0];

struct TextRandom {
    uint32_t state;
    uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    uint32_t below(uint32_t n) { return next() % n; }
};

// Zipf-like: the square of a uniform draw leans towards the frequent words.
const char* drawWord(TextRandom& random) {
    uint64_t u = random.below(1u << 16);
    return kWords[(u * u * kWordCount) >> 32];
}

}  // namespace

std::string englishLikeText(size_t bytes, uint32_t seed) {
    TextRandom random{seed * 2654435761u + 1};
    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        text += "<p>";
        uint32_t sentences = 2 + random.below(6);
        for (uint32_t s = 0; s < sentences; ++s) {
            uint32_t words = 4 + random.below(16);
            for (uint32_t i = 0; i < words; ++i) {
                std::string word = drawWord(random);
                if (i == 0) {
                    word[0] = char(word[0] >= 'a' && word[0] <= 'z' ? word[0] - 32 : word[0]);
                } else {
                    text += ' ';
                }
                text += word;
                if (i + 1 < words && random.below(9) == 0) text += ',';
            }
            text += random.below(12) == 0 ? "? " : ". ";
        }
        text += "</p>\r\n";
    }
    text.resize(bytes);
    return text;
}
