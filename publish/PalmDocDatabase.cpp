#include "publish/PalmDocDatabase.h"

#include <cstdio>

#include "model/Text.h"
#include "publish/Compression.h"
#include "publish/GifConverter.h"

namespace {

constexpr uint32_t kUniqueIdBase = 0x6F8000;
constexpr uint8_t kRecordAttributes = 0x40;
// 1907-08-16 19:38:22 in seconds after 1904: every e-book carries this date.
constexpr uint32_t kFixedDate = 0x06D144AE;

}  // namespace

EbookDatabase::EbookDatabase() = default;

EbookDatabase::~EbookDatabase() {
    close();
}

void EbookDatabase::setDatabaseName(const char* name) {
    copyText(databaseName, name);
}

void EbookDatabase::setTargetPath(const char* path) {
    copyText(targetPath, path);
}

void EbookDatabase::setCompression(bool flag) {
    compress = flag;
}

void EbookDatabase::setSourcePath(const char* path) {
    copyText(sourcePath, path);
}

bool EbookDatabase::begin(uint32_t imageCount) {
    close();
    currentRecord = 0;
    recordSize = kTextRecordSize;
    imageRecordCount = imageCount;
    writeFailed = false;
    sourceHandle = openFile(sourcePath, OpenMode::read);
    if (sourceHandle == kInvalidFileHandle) {
        std::snprintf(errorText, sizeof errorText, "Unable to open the source file : %s", sourcePath);
        return false;
    }
    sourceSize = getFileLength(sourceHandle);
    textRecordCount = sourceSize / kTextRecordSize + (sourceSize % kTextRecordSize != 0 ? 1 : 0);
    // More records than the 16-bit count can hold would give a file whose
    // record list does not match its records.
    if (uint64_t(textRecordCount) + imageRecordCount + 1 > kMaxRecords) {
        std::snprintf(errorText, sizeof errorText, "Too many records for the PRC target file : %s",
                      targetPath);
        close();
        return false;
    }
    totalRecords = textRecordCount + imageRecordCount;
    targetHandle = openFile(targetPath, OpenMode::readWrite);
    if (targetHandle == kInvalidFileHandle) {
        std::snprintf(errorText, sizeof errorText, "Unable to create the PRC target  file : %s", targetPath);
        close();
        return false;
    }
    return writeHeader();
}

bool EbookDatabase::writeNextTextRecord() {
    if (currentRecord >= textRecordCount || sourceHandle == 0) return false;
    uint8_t piece[kTextRecordSize];
    uint32_t length = 0;
    while (length < recordSize && length < kTextRecordSize) {
        int byte = readByte(sourceHandle);
        if (byte < 0) break;
        piece[length++] = uint8_t(byte);
    }
    if (length == 0) {
        close();
        return false;
    }
    bool written = writeTextRecord(piece, length, currentRecord);
    ++currentRecord;
    return written;
}

bool EbookDatabase::writeNextImageRecord(const char* imagePath) {
    bool written = writeImageRecord(imagePath, currentRecord);
    ++currentRecord;
    return written;
}

void EbookDatabase::close() {
    closeFile(sourceHandle);
    if (targetHandle != 0 && !closeFile(targetHandle)) writeFailed = true;
    sourceHandle = 0;
    targetHandle = 0;
    if (progressShown) std::fputc('\n', progressOutput);
    progressShown = false;
}

void EbookDatabase::reportProgress(uint32_t index) {
    if (progressOutput == nullptr) return;
    std::fprintf(progressOutput, "\rconverting record %d of %d", int(index + 1), int(totalRecords));
    std::fflush(progressOutput);
    progressShown = true;
}

FileHandle EbookDatabase::detachTarget() {
    FileHandle target = targetHandle;
    targetHandle = 0;
    close();
    return target;
}

bool PalmDocDatabase::writeHeader() {
    const uint32_t records = totalRecords + 1;
    const uint32_t recordZeroOffset = recordEntryOffset(records) + 2;

    uint8_t header[kDatabaseHeaderSize] = {};
    for (uint32_t i = 0; i < kDatabaseNameSize - 1 && databaseName[i] != 0; ++i)
        header[i] = uint8_t(databaseName[i]);
    putBig32(header + 36, kFixedDate);
    putBig32(header + 40, kFixedDate);
    for (int i = 0; i < 4; ++i) {
        header[kTypeOffset + i] = uint8_t(kPalmDocType[i]);
        header[kCreatorOffset + i] = uint8_t(kPalmDocCreator[i]);
    }
    putBig16(header + kRecordCountOffset, records);
    bool ok = writeBytes(targetHandle, header, kDatabaseHeaderSize);

    // Offsets of data records are provisional; each is overwritten when its record is written.
    for (uint32_t k = 0; k < records; ++k) {
        uint8_t entry[kRecordEntrySize];
        uint32_t offset = k == 0 ? recordZeroOffset : recordZeroOffset + 16 + kTextRecordSize * (k - 1);
        putBig32(entry, offset);
        entry[4] = kRecordAttributes;
        uint32_t uniqueId = kUniqueIdBase + k;
        entry[5] = uint8_t(uniqueId >> 16);
        entry[6] = uint8_t(uniqueId >> 8);
        entry[7] = uint8_t(uniqueId);
        ok = writeBytes(targetHandle, entry, kRecordEntrySize) && ok;
    }
    const uint8_t gap[2] = {0, 0};
    ok = writeBytes(targetHandle, gap, 2) && ok;

    uint8_t recordZero[kRecordZeroSize] = {};
    putBig16(recordZero, compress ? kCompressedText : kStoredText);
    putBig32(recordZero + kTextLengthOffset, sourceSize);
    putBig16(recordZero + kTextRecordCountOffset, textRecordCount);
    putBig16(recordZero + kRecordSizeOffset, kTextRecordSize);
    for (uint32_t i = 14; i < kRecordZeroSize - 1; ++i) recordZero[i] = 0x0E;
    ok = writeBytes(targetHandle, recordZero, kRecordZeroSize) && ok;
    if (!ok) {
        writeFailed = true;
        std::snprintf(errorText, sizeof errorText, "Unable to write the PRC target file : %s", targetPath);
    }
    return ok;
}

bool PalmDocDatabase::writeTextRecord(const uint8_t* data, uint32_t length, uint32_t index) {
    if (!startRecord(index) || length > kTextRecordSize) return false;
    bool ok;
    if (compress) {
        uint8_t packed[compressedCapacity(kTextRecordSize)];
        uint32_t packedLength = compressRecord(data, length, packed);
        ok = writeBytes(targetHandle, packed, packedLength);
    } else {
        ok = writeBytes(targetHandle, data, length);
    }
    reportProgress(index);
    return finishRecord(ok);
}

bool PalmDocDatabase::writeImageRecord(const char* imagePath, uint32_t index) {
    if (!startRecord(index)) return false;
    GifConverter converter;
    converter.prepare(kPictureMaxWidth, kPictureMaxHeight);
    // A picture that cannot be converted still gets its record, a blank one.
    converter.convert(imagePath);
    bool ok = converter.writeBitmap(targetHandle);
    reportProgress(index);
    return finishRecord(ok);
}

// Points the record's list entry at the end of the file, where the record
// goes. An index beyond the announced records has no entry: writing one would
// overwrite the header or record 0, so it is refused.
bool PalmDocDatabase::startRecord(uint32_t index) {
    if (targetHandle == 0 || index >= totalRecords) return false;
    uint32_t end = getFileLength(targetHandle);
    uint8_t offset[4];
    putBig32(offset, end);
    setFilePosition(targetHandle, recordEntryOffset(index + 1));
    bool ok = writeBytes(targetHandle, offset, 4);
    setFilePosition(targetHandle, end);
    return finishRecord(ok);
}

bool PalmDocDatabase::finishRecord(bool ok) {
    if (!ok && !writeFailed) {
        writeFailed = true;
        std::snprintf(errorText, sizeof errorText, "Unable to write the PRC target file : %s", targetPath);
    }
    return ok;
}
