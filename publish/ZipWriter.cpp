#include "ZipWriter.h"

#include <zlib.h>

#include <cstring>
#include <new>

#include "model/Text.h"

namespace {

constexpr uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr uint32_t kEndSignature = 0x06054b50;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
// Bit 11: the name is UTF-8.
constexpr uint16_t kUtf8Name = 0x0800;
// Small writes are gathered before they reach zlib.
constexpr uint32_t kInputBytes = 32 * 1024;
constexpr uint32_t kOutputBytes = 64 * 1024;
// Level 6 makes a 4 MB book 6% smaller than level 4 and takes half as
// long again; a book should build in well under half a second.
constexpr int kDeflateLevel = 4;
// The offset of the checksum in a local header.
constexpr uint32_t kCrcOffset = 14;

void little16(uint8_t* at, uint32_t value);
void little32(uint8_t* at, uint32_t value);
bool isAscii(const char* text);

}  // namespace

struct ZipStream {
    z_stream z;
    bool ready = false;
    uint32_t inputUsed = 0;
    uint8_t input[kInputBytes];
    uint8_t output[kOutputBytes];
};

ZipWriter::ZipWriter(FileHandle file) : file_(file), stream_(new (std::nothrow) ZipStream) {
    if (stream_ == nullptr) {
        fail("Not enough memory for the archive");
        return;
    }
    std::memset(&stream_->z, 0, sizeof stream_->z);
    // Raw deflate: the zip headers stand where zlib's own would.
    stream_->ready = deflateInit2(&stream_->z, kDeflateLevel, Z_DEFLATED, -MAX_WBITS, 8,
                                  Z_DEFAULT_STRATEGY) == Z_OK;
    if (!stream_->ready) fail("The compressor could not be started");
}

ZipWriter::~ZipWriter() {
    if (stream_ != nullptr && stream_->ready) deflateEnd(&stream_->z);
    delete stream_;
}

void ZipWriter::setTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980) year = 1980;
    dosDate_ = static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
    dosTime_ = static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}

bool ZipWriter::beginEntry(const char* name, bool deflate) {
    if (failed()) return false;
    if (open_ && !endEntry()) return false;
    if (count_ >= kZipEntrySlots) return fail("The book has more files than an archive of it holds");
    ZipEntry& entry = entries_[count_];
    if (!copyText(entry.name, name)) return fail("A file name of the book is too long");
    entry.crc = 0;
    entry.compressedSize = 0;
    entry.size = 0;
    entry.headerOffset = getFileLength(file_);
    entry.method = deflate ? kDeflated : kStored;
    entry.flags = isAscii(name) ? 0 : kUtf8Name;
    setFilePosition(file_, entry.headerOffset);
    writeHeader(entry, false);
    ++count_;
    open_ = true;
    stream_->inputUsed = 0;
    if (deflate && deflateReset(&stream_->z) != Z_OK) return fail("The compressor failed");
    return !failed();
}

bool ZipWriter::write(const void* bytes, uint32_t n) {
    if (!open_ || failed()) return false;
    const auto* in = static_cast<const uint8_t*>(bytes);
    while (n > 0) {
        uint32_t room = kInputBytes - stream_->inputUsed;
        uint32_t take = n < room ? n : room;
        std::memcpy(stream_->input + stream_->inputUsed, in, take);
        stream_->inputUsed += take;
        in += take;
        n -= take;
        if (stream_->inputUsed == kInputBytes) {
            if (!feed(stream_->input, kInputBytes, false)) return false;
            stream_->inputUsed = 0;
        }
    }
    return true;
}

bool ZipWriter::write(const char* text) {
    return write(text, static_cast<uint32_t>(std::strlen(text)));
}

bool ZipWriter::endEntry() {
    if (!open_) return !failed();
    open_ = false;
    if (failed() || !feed(stream_->input, stream_->inputUsed, true)) return false;
    stream_->inputUsed = 0;
    // The sizes are known only now: back into the local header with them.
    ZipEntry& entry = entries_[count_ - 1];
    uint8_t sizes[12];
    little32(sizes, entry.crc);
    little32(sizes + 4, entry.compressedSize);
    little32(sizes + 8, entry.size);
    uint32_t end = getFileLength(file_);
    setFilePosition(file_, entry.headerOffset + kCrcOffset);
    put(sizes, sizeof sizes);
    setFilePosition(file_, end);
    return !failed();
}

bool ZipWriter::finish() {
    if (open_) endEntry();
    if (failed()) return false;
    uint32_t directory = getFileLength(file_);
    setFilePosition(file_, directory);
    for (int32_t i = 0; i < count_; ++i) writeHeader(entries_[i], true);
    uint32_t directorySize = getFileLength(file_) - directory;
    uint8_t end[22] = {};
    little32(end, kEndSignature);
    little16(end + 8, static_cast<uint32_t>(count_));
    little16(end + 10, static_cast<uint32_t>(count_));
    little32(end + 12, directorySize);
    little32(end + 16, directory);
    put(end, sizeof end);
    return !failed();
}

bool ZipWriter::fail(const char* what) {
    if (!failed()) copyText(problem_, what);
    return false;
}

// Deflates (or stores) the bytes into the file; finishing ends the entry's
// stream.
bool ZipWriter::feed(const uint8_t* bytes, uint32_t n, bool finishing) {
    ZipEntry& entry = entries_[count_ - 1];
    if (n > 0) {
        entry.crc = static_cast<uint32_t>(crc32(entry.crc, bytes, n));
        if (entry.size + n < entry.size) return fail("A file of the book is larger than an archive holds");
        entry.size += n;
    }
    if (entry.method == kStored) {
        entry.compressedSize += n;
        return put(bytes, n);
    }
    z_stream& z = stream_->z;
    z.next_in = const_cast<uint8_t*>(bytes);
    z.avail_in = n;
    for (;;) {
        z.next_out = stream_->output;
        z.avail_out = kOutputBytes;
        int result = deflate(&z, finishing ? Z_FINISH : Z_NO_FLUSH);
        if (result == Z_STREAM_ERROR) return fail("The compressor failed");
        uint32_t produced = kOutputBytes - z.avail_out;
        entry.compressedSize += produced;
        if (!put(stream_->output, produced)) return false;
        if (finishing ? result == Z_STREAM_END : (z.avail_in == 0 && z.avail_out != 0)) return true;
    }
}

bool ZipWriter::put(const void* bytes, uint32_t n) {
    if (n > 0 && !writeBytes(file_, bytes, n)) return fail(lastFileError());
    return true;
}

void ZipWriter::writeHeader(const ZipEntry& entry, bool central) {
    uint8_t header[46] = {};
    uint32_t nameLength = static_cast<uint32_t>(std::strlen(entry.name));
    uint16_t version = entry.method == kDeflated ? 20 : 10;
    uint8_t* at = header;
    little32(at, central ? kCentralHeaderSignature : kLocalHeaderSignature);
    at += 4;
    if (central) {
        little16(at, version);  // made by: MS-DOS attributes
        at += 2;
    }
    little16(at, version);
    little16(at + 2, entry.flags);
    little16(at + 4, entry.method);
    little16(at + 6, dosTime_);
    little16(at + 8, dosDate_);
    little32(at + 10, entry.crc);
    little32(at + 14, entry.compressedSize);
    little32(at + 18, entry.size);
    little16(at + 22, nameLength);
    at += 26;  // the extra field's length stays 0
    if (central) {
        at += 10;  // comment, disk, attributes: none
        little32(at, entry.headerOffset);
        at += 4;
    }
    put(header, static_cast<uint32_t>(at - header));
    put(entry.name, nameLength);
}

namespace {

void little16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void little32(uint8_t* at, uint32_t value) {
    little16(at, value & 0xFFFF);
    little16(at + 2, value >> 16);
}

bool isAscii(const char* text) {
    for (; *text != '\0'; ++text)
        if (static_cast<uint8_t>(*text) >= 0x80) return false;
    return true;
}

}  // namespace
