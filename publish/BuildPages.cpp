#include "BuildPages.h"

#include <cstdio>
#include <cstring>

#include "Url.h"
#include "model/OutputBuffer.h"
#include "model/Paths.h"
#include "model/TagScanner.h"
#include "model/Text.h"

namespace {

constexpr char kPageStart[] = "<html>\n<body bgcolor=#FFCC99><center>";
constexpr char kFrameStart[] =
    "<TABLE border=0 borderColor=#ffffff cellSpacing=0><TBODY><TR vAlign=top><TD bgColor=#ffffff "
    "width=60>&nbsp;<TD align=right bgColor=#ffffff height=50>&nbsp;<TD align=right bgColor=#ffffff "
    "width=60>&nbsp;<TD align=middle width=20></TD><TR><TD bgColor=#ffffff>&nbsp;<TD align=justify "
    "bgColor=#ffffff width=355><center>";
constexpr char kHeadingEnd[] =
    "</center><HR width=\"100%\" height=\"1\"><P align=justify><FONT face=\"Times New Roman\">";
constexpr char kFooterStart[] = "</FONT><BR><P><FONT NAME=\"Times New Roman\"><CENTER>";
constexpr char kFrameEnd[] =
    "</CENTER></FONT><TD bgColor=#ffffff>&nbsp; </TD><TR vAlign=bottom><TD align=middle "
    "bgColor=#ffffff>&nbsp;<TD bgColor=#ffffff height=50>&nbsp;<TD align=middle bgColor=#ffffff>&nbsp;<TD "
    "align=middle></TD></TR></TBODY></TABLE>";
constexpr char kPageEnd[] = "</center></body></html>";

// A page break is due after every this many characters, at the next ".".
constexpr int32_t kPageBreakEvery = 1024;
constexpr int32_t kLastPage = 5;

const char* metadataLabel(const char* name);
const ManifestItem* firstChapterItem(const Publication& publication);
bool isPageEnd(const TagScanner& scanner);
bool skipToBody(FileHandle chapter);
void copyChapterPages(OutputBuffer& out, FileHandle chapter, const char* title);
void writeNumber(OutputBuffer& out, int32_t n);

}  // namespace

bool writeMetadataPage(BuildContext& context) {
    const Publication& pub = *context.publication;
    char folder[kPathSize];
    folderOfPath(pub.path, folder);
    char pagePath[kPathSize];
    int32_t counter = 0;
    OutputBuffer page;
    page.file = context.openBuildFolder() ? createBuildFile(context.work.path, "PRCmeta_", &counter, pagePath)
                                          : kInvalidFileHandle;
    if (page.file == kInvalidFileHandle) {
        page.file = 0;
        context.reportFileFailure("The metadata page could not be created in %s", folder);
        return false;
    }
    page.writeString("<html><body>");
    page.writeString("<h1 align=\"center\">eBook Info</h1><br>");
    for (int32_t i = 0; i < pub.metadataCount; ++i) {
        const MetadataEntry& entry = pub.metadata[i];
        if (!isLive(entry.state) || entry.name[0] == '\0' || entry.value[0] == '\0') continue;
        page.writeString("<b>");
        // Shown as text in the book: a "<" in a title must not open a tag.
        page.writeEscaped(metadataLabel(entry.name));
        page.writeString(":</b></br>");
        page.writeString("<blockquote>");
        page.writeEscaped(entry.value);
        page.writeString("</blockquote>");
        page.writeString("<br>");
    }
    page.writeString("</body></html>");
    // Linked by the name the e-book has always used for it.
    return context.mergeBuildPage(page.close(), pagePath, "xyz_metadata.htm",
                                  "The metadata page %s could not be written");
}

bool writeFirstChapter(BuildContext& context) {
    const Publication& pub = *context.publication;
    char outPath[kPathSize];
    if (!firstChapterPath(pub, outPath)) return false;
    OutputBuffer out;
    if (!out.open(outPath)) return false;
    out.writeString(kPageStart);

    FileHandle chapter = kInvalidFileHandle;
    const ManifestItem* item = firstChapterItem(pub);
    char chapterPath[kPathSize];
    // One left out of the book is left out of its first chapter too.
    if (item != nullptr && resolveAgainstPackage(pub, item->href, chapterPath) && context.mayRead(chapterPath))
        chapter = openFile(chapterPath, OpenMode::read);
    // Without a chapter, or without its BODY, the page stays empty rather
    // than searching on.
    bool copied = chapter != kInvalidFileHandle && skipToBody(chapter);
    if (copied) {
        char title[kValueSize];
        char author[kValueSize];
        if (!pub.findMetadataValue("dc:Title", title)) title[0] = '\0';
        if (!pub.findMetadataValue("dc:Creator", author)) author[0] = '\0';
        out.writeString(kFrameStart);
        out.writeString("<b>");
        out.writeEscaped(title);
        out.writeString("</b>,&nbsp;");
        out.writeEscaped(author);
        out.writeString(kHeadingEnd);
        copyChapterPages(out, chapter, title);
    }
    out.writeString(kPageEnd);
    closeFile(chapter);
    return out.close() && copied;
}

bool firstChapterPath(const Publication& publication, char* out) {
    char name[kPathSize];
    baseNameOfPath(publication.path, name);
    folderOfPath(publication.path, out);
    return appendText(out, kPathSize, name) && appendText(out, kPathSize, "_firstchapter.htm");
}

namespace {

const char* metadataLabel(const char* name) {
    if (std::strcmp(name, "dc:Creator") == 0) return "Author";
    if (std::strcmp(name, "dc:Date") == 0) return "Publication Date";
    if (std::strcmp(name, "dc:Title") == 0) return "Book Title";
    if (std::strcmp(name, "dc:Rights") == 0) return "Copyright and License";
    // Without room for a prefix the whole name is the label.
    if (std::strlen(name) < 3) return name;
    return name + 3;
}

const ManifestItem* firstChapterItem(const Publication& publication) {
    for (int32_t i = 0; i < publication.spineCount; ++i) {
        const SpineItem& item = publication.spine[i];
        if (!isLive(item.state)) continue;
        if (std::strcmp(item.idref, "toc") == 0 || std::strcmp(item.idref, "cover") == 0) continue;
        if (item.manifestItem == nullptr || !isLive(item.manifestItem->state)) return nullptr;
        return item.manifestItem;
    }
    return nullptr;
}

// The chapter's own "</BODY>" and "</HTML>" would close the page inside its
// frame: the page's end closes them, once.
bool isPageEnd(const TagScanner& scanner) {
    return scanner.isTag("/BODY") || scanner.isTag("/HTML");
}

bool skipToBody(FileHandle chapter) {
    TagScanner scanner;
    while (scanner.nextTag(chapter) != -1) {
        if (scanner.isTag("BODY")) return true;
    }
    return false;
}

void copyChapterPages(OutputBuffer& out, FileHandle chapter, const char* title) {
    TagScanner scanner;
    int32_t page = 1;
    int32_t count = 0;
    bool pageEndDue = false;
    for (int c = readChar(chapter); c != -1; c = readChar(chapter)) {
        ++count;
        if (c == '<') {
            uint32_t behindBracket = getFilePosition(chapter);
            if (scanner.readTag(chapter) == -1) {
                setFilePosition(chapter, behindBracket);
                out.writeString("<");
            } else if (scanner.isTag("P") || scanner.isTag("FONT")) {
                out.writeString("<p align=justify>");
            } else if (!scanner.isTag("/P") && !isPageEnd(scanner)) {
                out.writeString(scanner.rawText);
            }
        } else {
            char byte = static_cast<char>(c);
            out.write(&byte, 1);
        }
        if (count % kPageBreakEvery == 0) pageEndDue = true;
        if (!pageEndDue || c != '.') continue;
        pageEndDue = false;
        ++page;
        out.writeString(kFooterStart);
        out.writeString(" - Page ");
        writeNumber(out, page - 1);
        out.writeString(" - ");
        out.writeString(kFrameEnd);
        out.writeString("<br><br>");
        out.writeString("<A NAME=#");
        writeNumber(out, page - 1);
        out.writeString("></A>");
        if (page == kLastPage) return;
        out.writeString(kFrameStart);
        out.writeEscaped(title);
        out.writeString(kHeadingEnd);
    }
}

void writeNumber(OutputBuffer& out, int32_t n) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(n));
    out.writeString(text);
}

}  // namespace
