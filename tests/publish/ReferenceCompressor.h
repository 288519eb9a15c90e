// The compressor done the slow, literal way: every step of the greedy
// two-pass algorithm in order, with a plain scan of the window. The tests
// hold the production compressor against it.
#pragma once

#include <cstdint>
#include <vector>

std::vector<uint8_t> referenceCompress(const uint8_t* input, uint32_t length);

#include <string>

// Deterministic English-like prose (common words, sentences, paragraphs), so
// that comparisons and benchmarks run on text with the repetition of a book.
std::string englishLikeText(size_t bytes, uint32_t seed);
