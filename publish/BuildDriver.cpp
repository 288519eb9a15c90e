#include "BuildDriver.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "PalmDocDatabase.h"
#include "model/Text.h"

namespace {

// Shortest package path with a name before a four-character extension.
constexpr size_t kShortestPackagePath = 5;

void reportFailure(BuildContext& context, const char* format, const char* path);
void reportTo(BuildReporter& reporter, const char* format, const char* path);
// Removes what a failed build wrote.
void removeBuildFiles(BuildContext& context, EbookDatabase* database, const char* targetPath);

}  // namespace

bool buildEbook(BuildContext& context, const char* targetPath, bool compress) {
    PalmDocDatabase* database = new (std::nothrow) PalmDocDatabase;
    if (database == nullptr) {
        context.reportBuildMessage("Not enough memory for the eBook writer", kBuildErrorLevel);
        return false;
    }
    bool built = buildEbook(context, targetPath, compress, *database);
    delete database;
    return built;
}

bool buildEbook(BuildContext& context, const char* targetPath, bool compress, EbookDatabase& database) {
    context.setStatus(IDS_BUILD_MERGING);
    if (!context.mergeManifest()) {
        removeBuildFiles(context, nullptr, targetPath);
        return false;
    }

    char title[kValueSize];
    if (!context.publication->findMetadataValue("dc:Title", title)) title[0] = '\0';
    database.setDatabaseName(title);
    database.setTargetPath(targetPath);
    database.setCompression(compress);
    database.setSourcePath(context.intermediatePath);
    // A failed begin may not have reached the target: an e-book of an
    // earlier build is then left as it was.
    bool targetExisted = fileExists(targetPath);
    if (context.reporter->stopRequested()) {
        reportFailure(context, "The build of %s was stopped", targetPath);
        removeBuildFiles(context, nullptr, targetPath);
        return false;
    }
    if (!database.begin(static_cast<uint32_t>(context.distinctImageCount))) {
        if (database.errorText[0] != '\0')
            context.reportBuildMessage(database.errorText, kBuildErrorLevel);
        else
            reportFailure(context, "The eBook %s could not be created", targetPath);
        database.close();
        removeBuildFiles(context, targetExisted ? nullptr : &database, targetPath);
        return false;
    }

    context.startProgress(static_cast<int32_t>(database.totalRecords));
    context.setProgress(1);
    int32_t written = 0;
    bool stopped = false;
    while (!(stopped = context.reporter->stopRequested()) && database.writeNextTextRecord()) {
        ++written;
        context.setStatusAndNumber(IDS_BUILD_RECORDS, written);
        context.setProgress(written);
    }
    bool ok = !stopped && static_cast<uint32_t>(written) >= database.textRecordCount;
    if (stopped)
        reportFailure(context, "The build of %s was stopped", targetPath);
    else if (!ok)
        reportFailure(context, "Error while writing the text records of %s", targetPath);

    context.setStatus(IDS_BUILD_ADDING_IMAGES);
    for (int32_t i = 0; ok && i < context.imageCount; ++i) {
        const PictureRecord& image = context.images[i];
        if (image.isNew != 1) continue;
        if (context.reporter->stopRequested()) {
            ok = false;
            reportFailure(context, "The build of %s was stopped", targetPath);
        } else if (!database.writeNextImageRecord(image.path)) {
            ok = false;
            reportFailure(context, "The picture %s could not be written", image.path);
        }
    }
    if (ok) {
        database.close();
        // The last bytes reach the disk only when the file is closed.
        ok = !database.writeFailed;
        if (!ok) reportFailure(context, "Unable to write the PRC target file : %s", targetPath);
    }
    if (!ok) {
        removeBuildFiles(context, &database, targetPath);
        return false;
    }
    deleteFile(context.intermediatePath);
    return true;
}

int batchBuild(const char* packagePath, bool compress, BuildReporter& reporter) {
    char target[kBuildFieldSize];
    if (!batchTargetPath(packagePath, target)) {
        reportTo(reporter, "The package path \"%s\" is too short or too long to name an eBook", packagePath);
        return 1;
    }
    // The e-book would replace the package itself.
    if (equalsNoCase(target, packagePath)) {
        reportTo(reporter, "The package %s would be overwritten by its own eBook", packagePath);
        return 1;
    }
    Publication* publication = new (std::nothrow) Publication;
    if (publication == nullptr) return 1;
    if (!publication->open(packagePath)) {
        reportTo(reporter, "The package %s could not be read", packagePath);
        delete publication;
        return 1;
    }
    BuildContext* context = new (std::nothrow) BuildContext(publication);
    if (context == nullptr) {
        delete publication;
        return 1;
    }
    context->reporter = &reporter;
    bool built = buildEbook(*context, target, compress);
    delete context;
    delete publication;
    return built ? 0 : 1;
}

bool batchTargetPath(const char* packagePath, char* out) {
    size_t length = std::strlen(packagePath);
    if (length < kShortestPackagePath || length >= size_t(kBuildFieldSize)) return false;
    std::memcpy(out, packagePath, length - 4);
    out[length - 4] = '\0';
    return appendText(out, kBuildFieldSize, ".prc");
}

namespace {

void reportFailure(BuildContext& context, const char* format, const char* path) {
    char message[kBuildMessageSize];
    std::snprintf(message, sizeof message, format, path);
    context.reportBuildMessage(message, kBuildErrorLevel);
}

void reportTo(BuildReporter& reporter, const char* format, const char* path) {
    char message[kBuildMessageSize];
    std::snprintf(message, sizeof message, format, path);
    reporter.reportMessage(message, kBuildErrorLevel);
}

void removeBuildFiles(BuildContext& context, EbookDatabase* database, const char* targetPath) {
    // Closing first: the system may not delete an open file, and the writer
    // holds the intermediate file open as its source.
    if (database != nullptr) database->close();
    closeFile(context.intermediateFile);
    context.intermediateFile = kInvalidFileHandle;
    if (context.intermediatePath[0] != '\0') deleteFile(context.intermediatePath);
    if (database != nullptr) deleteFile(targetPath);
}

}  // namespace
