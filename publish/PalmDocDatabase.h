// The e-book file: a Palm database in the PalmDOC layout, written from the
// build's intermediate file one record at a time.
#pragma once

#include <cstdint>
#include <cstdio>

#include "model/Files.h"
#include "model/PalmDocLayout.h"
#include "model/Paths.h"
#include "model/Text.h"

constexpr int kErrorTextSize = 1024;

class EbookDatabase {
public:
    EbookDatabase();
    virtual ~EbookDatabase();
    EbookDatabase(const EbookDatabase&) = delete;
    EbookDatabase& operator=(const EbookDatabase&) = delete;

    // Slot order matters to nobody outside, but it is the layout's order.
    virtual bool writeHeader() = 0;
    virtual bool writeTextRecord(const uint8_t* data, uint32_t length, uint32_t index) = 0;
    virtual bool writeImageRecord(const char* imagePath, uint32_t index) = 0;

    void setDatabaseName(const char* name);
    void setTargetPath(const char* path);
    void setCompression(bool flag);
    void setSourcePath(const char* path);

    bool begin(uint32_t imageCount);
    bool writeNextTextRecord();
    bool writeNextImageRecord(const char* imagePath);
    void close();
    // Hands the written e-book's open file to the caller, who puts it in
    // place; the source is closed.
    FileHandle detachTarget();

    uint32_t currentRecord = 0;
    uint32_t totalRecords = 0;
    uint32_t textRecordCount = 0;
    uint32_t imageRecordCount = 0;
    uint32_t recordSize = kTextRecordSize;
    bool compress = false;
    char sourcePath[kPathSize] = "";
    char targetPath[kPathSize] = "";
    char databaseName[kFieldSize] = "";
    FileHandle sourceHandle = 0;
    FileHandle targetHandle = 0;
    uint32_t sourceSize = 0;
    char errorText[kErrorTextSize] = "";
    // Set when a byte of the target could not be written: the e-book on disk
    // is then incomplete although every step ran.
    bool writeFailed = false;
    // Where the line "converting record N of T" goes for each record; none
    // when null (a build in a window, or output that is no terminal).
    std::FILE* progressOutput = nullptr;
    // A progress line is open: close() ends it.
    bool progressShown = false;

protected:
    void reportProgress(uint32_t index);
};

class PalmDocDatabase : public EbookDatabase {
public:
    bool writeHeader() override;
    bool writeTextRecord(const uint8_t* data, uint32_t length, uint32_t index) override;
    bool writeImageRecord(const char* imagePath, uint32_t index) override;

private:
    bool startRecord(uint32_t index);
    bool finishRecord(bool ok);
};
