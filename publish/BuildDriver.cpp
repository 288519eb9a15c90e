#include "BuildDriver.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "EpubBuild.h"
#include "PalmDocDatabase.h"
#include "model/CommandLinePath.h"
#include "model/Paths.h"
#include "model/Text.h"

namespace {

void reportTo(BuildReporter& reporter, const char* format, const char* path);
// The writer's message names the partial file; the user knows the target.
void reportDatabaseFailure(BuildContext& context, const char* text, const char* partial, const char* target);
// Removes what a failed build wrote: the intermediate file and the partial
// e-book (null when none was started).
void removeBuildFiles(BuildContext& context, EbookDatabase* database, const char* partial);

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
        removeBuildFiles(context, nullptr, nullptr);
        return false;
    }

    // The e-book is written in a work folder beside its target and put in
    // place only when whole, so a failed build leaves an earlier e-book as
    // it was.
    char folder[kPathSize];
    folderOfPath(targetPath, folder);
    char packageFolder[kPathSize];
    folderOfPath(context.publication->path, packageFolder);
    WorkFolder targetWork;
    bool beside = equalsNoCase(folder, packageFolder);
    bool workOpen = beside ? context.openBuildFolder() : openWorkFolder(targetWork, folder, kBuildFolderStem);
    char partial[kPathSize];
    int32_t counter = 0;
    FileHandle reserved = workOpen ? createBuildFile(beside ? context.work.path : targetWork.path, "PRCbook_",
                                                     &counter, partial)
                                   : kInvalidFileHandle;
    if (reserved == kInvalidFileHandle) {
        context.reportFileFailure("The eBook %s could not be created", targetPath);
        removeBuildFiles(context, nullptr, nullptr);
        return false;
    }
    closeFile(reserved);
    // Reasons given from here on are those of the e-book's own files.
    noteFileError("");

    char title[kValueSize];
    if (!context.publication->findMetadataValue("dc:Title", title)) title[0] = '\0';
    database.setDatabaseName(title);
    database.setTargetPath(partial);
    database.setCompression(compress);
    database.setSourcePath(context.intermediatePath);
    database.progressOutput = context.reporter->progressOutput();
    if (context.reporter->stopRequested()) {
        context.reportPathMessage("The build of %s was stopped", targetPath);
        removeBuildFiles(context, nullptr, partial);
        return false;
    }
    if (!database.begin(static_cast<uint32_t>(context.distinctImageCount))) {
        reportDatabaseFailure(context, database.errorText, partial, targetPath);
        removeBuildFiles(context, &database, partial);
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
        context.reportPathMessage("The build of %s was stopped", targetPath);
    else if (!ok)
        context.reportFileFailure("Error while writing the text records of %s", targetPath);

    context.setStatus(IDS_BUILD_ADDING_IMAGES);
    for (int32_t i = 0; ok && i < context.imageCount; ++i) {
        const PictureRecord& image = context.images[i];
        if (!image.isNew) continue;
        noteFileError("");  // a picture may also fail for its content
        if (context.reporter->stopRequested()) {
            ok = false;
            context.reportPathMessage("The build of %s was stopped", targetPath);
        } else if (!database.writeNextImageRecord(image.path)) {
            ok = false;
            context.reportFileFailure("The picture %s could not be written", image.path);
        }
    }
    if (ok) {
        SafeFile ebook;
        ebook.file = database.detachTarget();
        copyText(ebook.partial, partial);
        copyText(ebook.target, targetPath);
        ok = commitSafeFile(ebook, true);
        if (!ok)
            context.reportFileFailure(
                ebook.flushed ? "The eBook %s could not be replaced" : "Unable to write the PRC target file : %s",
                targetPath);
    }
    if (!ok) {
        removeBuildFiles(context, &database, partial);
        return false;
    }
    deleteFile(context.intermediatePath);
    closeWorkFolder(context.work);
    return true;
}

int batchBuild(const char* packagePath, const BatchOptions& options, BuildReporter& reporter) {
    char target[kPathSize];
    if (options.ebookPath[0] != '\0') {
        if (!copyText(target, sizeof target, options.ebookPath)) {
            reportTo(reporter, "The eBook path \"%s\" is too long", options.ebookPath);
            return 1;
        }
    } else if (!batchTargetPath(packagePath, target, options.format)) {
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
        FileHandle probe = openFile(packagePath, OpenMode::read);
        std::string shown = programPathForDisplay(packagePath);
        char message[kBuildMessageSize];
        if (probe == kInvalidFileHandle)
            std::snprintf(message, sizeof message, "The package %s could not be read (%s)", shown.c_str(),
                          lastFileError());
        else if (publication->readFailure[0] != '\0')
            std::snprintf(message, sizeof message, "The package %s could not be read: %s", shown.c_str(),
                          publication->readFailure);
        else
            std::snprintf(message, sizeof message, "The package %s could not be read", shown.c_str());
        closeFile(probe);
        reporter.reportMessage(message, kBuildErrorLevel);
        delete publication;
        return 1;
    }
    if (options.format == EbookFormat::epub) {
        EpubOptions epub;
        epub.targetPath = target;
        epub.coverPicture = options.coverPath;
        epub.allowOutsideFiles = options.allowOutsideFiles;
        char message[kBuildMessageSize];
        bool built = buildEpub(*publication, epub, reporter, message);
        delete publication;
        return built ? 0 : 1;
    }
    BuildContext* context = new (std::nothrow) BuildContext(publication);
    if (context == nullptr) {
        delete publication;
        return 1;
    }
    context->reporter = &reporter;
    context->allowOutsideFiles = options.allowOutsideFiles;
    bool built = buildEbook(*context, target, options.compress);
    if (built) context->reportSummary();
    delete context;
    delete publication;
    return built ? 0 : 1;
}

bool batchTargetPath(const char* packagePath, char* out, EbookFormat format) {
    const char* name = packagePath + std::strlen(packagePath);
    while (name > packagePath && name[-1] != '\\' && name[-1] != '/') --name;
    if (*name == '\0') return false;
    // A real extension: a dot in the last component, not one that opens it.
    const char* start = name + std::strspn(name, ".");
    const char* dot = std::strrchr(start, '.');
    size_t kept = size_t((dot != nullptr ? dot : start + std::strlen(start)) - packagePath);
    if (kept >= size_t(kPathSize)) return false;
    std::memcpy(out, packagePath, kept);
    out[kept] = '\0';
    return appendText(out, kPathSize, format == EbookFormat::epub ? ".epub" : ".prc");
}

namespace {

// The format's one %s takes the path as the user knows it.
void reportTo(BuildReporter& reporter, const char* format, const char* path) {
    char message[kBuildMessageSize];
    std::snprintf(message, sizeof message, format, programPathForDisplay(path).c_str());
    reporter.reportMessage(message, kBuildErrorLevel);
}

void reportDatabaseFailure(BuildContext& context, const char* text, const char* partial, const char* target) {
    const char* at = text[0] != '\0' ? std::strstr(text, partial) : nullptr;
    if (at == nullptr) {
        if (text[0] != '\0')
            context.reportBuildMessage(text, kBuildErrorLevel);
        else
            context.reportFileFailure("The eBook %s could not be created", target);
        return;
    }
    // The writer's words around its path, with the target in place of it.
    const char* after = at + std::strlen(partial);
    char format[kBuildMessageSize];
    std::snprintf(format, sizeof format, "%.*s%%s", static_cast<int>(at - text), text);
    if (after[0] == '\0' && std::strchr(format, '%') == std::strrchr(format, '%')) {
        context.reportFileFailure(format, target);
        return;
    }
    context.reportBuildMessage(text, kBuildErrorLevel);
}

void removeBuildFiles(BuildContext& context, EbookDatabase* database, const char* partial) {
    // Closing first: the system may not delete an open file, and the writer
    // holds the intermediate file open as its source.
    if (database != nullptr) database->close();
    closeFile(context.intermediateFile);
    context.intermediateFile = kInvalidFileHandle;
    if (context.intermediatePath[0] != '\0') deleteFile(context.intermediatePath);
    if (partial != nullptr) deleteFile(partial);
    closeWorkFolder(context.work);
}

}  // namespace
