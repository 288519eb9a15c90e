// Deterministic English-like prose (common words, sentences, paragraphs), so
// that the benchmarks run on text with the repetition of a book.
#pragma once

#include <cstdint>
#include <string>

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

inline std::string englishLikeText(size_t bytes, uint32_t seed) {
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
