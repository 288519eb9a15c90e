// The compressor done the slow, literal way: every step of the greedy
// two-pass algorithm in order, with a plain scan of the window. The fuzz
// target holds the production compressor against it on any record, and the
// benchmark measures both.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

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

inline std::vector<uint8_t> referenceCompress(const uint8_t* input, uint32_t length) {
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
