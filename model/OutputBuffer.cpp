#include "OutputBuffer.h"

#include <cstring>

#include "Text.h"

bool OutputBuffer::open(const char* path, OpenMode mode) {
    used = 0;
    replace = mode != OpenMode::createNew;
    bool opened = openSafeFile(safe, path);
    file = safe.file;
    return opened;
}

bool OutputBuffer::write(const void* bytes, uint32_t n) {
    if (n < kOutputBufferSize - used) {
        std::memcpy(buffer + used, bytes, n);
        used += n;
        return true;
    }
    // A block that does not fit goes out whole, behind what was waiting.
    bool ok = true;
    if (used > 0) ok = writeBytes(file, buffer, used);
    used = 0;
    return writeBytes(file, bytes, n) && ok;
}

bool OutputBuffer::writeString(const char* text) {
    return write(text, static_cast<uint32_t>(std::strlen(text)));
}

bool OutputBuffer::writeEscaped(const char* text) {
    bool ok = true;
    char piece[kMarkupPieceSize];
    while (*text != '\0') {
        int length = nextMarkupPiece(&text, MarkupPlace::text, MarkupBytes::eightBit, piece);
        ok = write(piece, uint32_t(length)) && ok;
    }
    return ok;
}

bool OutputBuffer::close() {
    bool ok = used == 0 || writeBytes(file, buffer, used);
    used = 0;
    if (safe.file == file && file != kInvalidFileHandle)
        ok = commitSafeFile(safe, replace) && ok;
    else
        ok = closeFile(file) && ok;
    file = kInvalidFileHandle;
    return ok;
}

void OutputBuffer::abandon() {
    used = 0;
    if (safe.file == file && file != kInvalidFileHandle)
        abandonSafeFile(safe);
    else
        closeFile(file);
    file = kInvalidFileHandle;
}
