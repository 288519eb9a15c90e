// The document's lifecycle through a stand-in window: what each File
// command asks, shows, writes and leaves open. The window tests show only
// that the real window carries these questions and boxes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/EditorDocument.h"
#include "model/Text.h"
#include "resources/ResourceIds.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kPackage =
    "<?xml version=\"1.0\"?>\r\n<package unique-identifier=\"uid\">\r\n"
    "<metadata><dc:Title>Book</dc:Title></metadata>\r\n"
    "<manifest><item id=\"ch1\" href=\"ch1.htm\" media-type=\"text/x-oeb1-document\"/></manifest>\r\n"
    "<spine><itemref idref=\"ch1\"/></spine>\r\n</package>\r\n";

// Records what the document asks of its window and answers as told.
class RecordingWindow : public DocumentWindow {
public:
    std::string title = "(never set)";
    int enabledState = -1;  // -1: never set
    int refreshes = 0;
    std::vector<int32_t> questions;
    bool answerYes = false;
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    // The name a file dialog answers with; empty: it is cancelled.
    std::string choice;
    std::string saveDialogStartedWith;

    void showTitle(const char* text) override { title = text; }
    void enableDocumentCommands(bool enabled) override { enabledState = enabled ? 1 : 0; }
    void refreshAllViews() override { ++refreshes; }
    bool askYesNo(int32_t stringId) override { return questions.push_back(stringId), answerYes; }
    void showErrorAboutFile(int32_t id, const char* path) override {
        errors.push_back(std::to_string(id) + " " + path);
    }
    void showWarningAboutFile(int32_t id, const char* path) override {
        warnings.push_back(std::to_string(id) + " " + path);
    }
    bool askOpenPackageName(char* out) override {
        return copyText(out, kPathSize, choice.c_str()) && !choice.empty();
    }
    bool askSavePackageName(char* inOut) override {
        saveDialogStartedWith = inOut;
        return copyText(inOut, kPathSize, choice.c_str()) && !choice.empty();
    }
};

class EditorDocumentTest : public ::testing::Test {
protected:
    void SetUp() override { reopen(); }

    // A fresh folder holding book.opf, open in a fresh document.
    void reopen() {
        tmp = std::make_unique<TempFolder>();
        tmp->write("book.opf", kPackage);
        window = RecordingWindow();
        document = std::make_unique<EditorDocument>();
        document->initDocument(window);
        ASSERT_TRUE(document->openPackage(tmp->file("book.opf").c_str()));
    }
    bool written() const { return tmp->read("book.opf").find("ch2.htm") != std::string::npos; }

    std::unique_ptr<TempFolder> tmp;
    RecordingWindow window;
    std::unique_ptr<EditorDocument> document;
};

TEST_F(EditorDocumentTest, AnOpenPackageIsNamedInTheTitleAndAFailedOneOnlyWhenAskedFor) {
    EXPECT_EQ(window.title, "Quirebound Publisher - book.opf");
    EXPECT_EQ(window.enabledState, 1);
    EXPECT_EQ(document->manifestCount, 1);
    document->closePackage(false);
    const std::string missing = tmp->file("missing.opf");
    EXPECT_FALSE(document->openPackage(missing.c_str()));
    EXPECT_TRUE(window.warnings.empty());
    EXPECT_FALSE(document->openPackageOrWarn(missing.c_str()));
    EXPECT_EQ(window.warnings, std::vector<std::string>{std::to_string(IDS_OPEN_FAILED) + " " + missing});
    EXPECT_EQ(window.title, "Quirebound Publisher");
    EXPECT_EQ(window.enabledState, 0);
    // With nothing open there is nothing to write to.
    document->saveCommand();
    document->closeCommand();
    EXPECT_TRUE(window.errors.empty());
    EXPECT_FALSE(tmp->exists("missing.opf"));
}

// A command on the document, as the table's; its result where it has one.
#define COMMAND(...) [](EditorDocument& d) { return __VA_ARGS__; }

// Each command on the open package, changed unless the row says otherwise.
TEST_F(EditorDocumentTest, FileCommandsAskWriteAndCloseAsTheTableSays) {
    struct Case {
        const char* what;
        bool (*command)(EditorDocument&);
        bool changed, answerYes, savesFail;
        bool result;
        size_t questions;
        bool written, open;
        const char* title;
    } const cases[] = {
        {"save", COMMAND(d.savePackage()), true, false, false, true, 0, true, true, "book.opf"},
        {"failing save", COMMAND(d.savePackage()), true, false, true, false, 0, false, true, "book.opf"},
        {"close", COMMAND(d.closePackage(true)), true, false, false, true, 0, true, false, ""},
        {"failing close", COMMAND(d.closePackage(true)), true, false, true, false, 0, false, true,
         "book.opf"},
        {"exit unchanged", COMMAND(d.offerToSave()), false, true, false, true, 0, false, true, "book.opf"},
        {"exit, No", COMMAND(d.offerToSave()), true, false, false, true, 1, false, true, "book.opf"},
        {"exit, Yes", COMMAND(d.offerToSave()), true, true, false, true, 1, true, true, "book.opf"},
        {"exit, Yes, failing save", COMMAND(d.offerToSave()), true, true, true, false, 1, false, true,
         "book.opf"},
        {"open another, No", COMMAND(d.openCommand(), true), true, false, false, true, 1, false, true,
         "other.opf"},
        {"open another, Yes", COMMAND(d.openCommand(), true), true, true, false, true, 1, true, true,
         "other.opf"},
        {"open another unchanged", COMMAND(d.openCommand(), true), false, true, false, true, 0, false, true,
         "other.opf"},
        {"open another, Yes, failing save", COMMAND(d.openCommand(), true), true, true, true, true, 1, false,
         true, "book.opf"},
        // Nothing asked, written or closed when no file is chosen.
        {"open, cancelled",
         COMMAND(static_cast<RecordingWindow*>(d.window)->choice.clear(), d.openCommand(), true), true, true,
         false, true, 0, false, true, "book.opf"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reopen();
        tmp->write("other.opf", kPackage);
        window.answerYes = c.answerYes;
        window.choice = tmp->file("other.opf");
        if (c.changed) {
            document->addManifestItem("ch2", "ch2.htm", "text/x-oeb1-document");
            document->markModified();
        }
        // A folder where the save's temporary file should go makes every save
        // fail, while the package itself stays readable.
        if (c.savesFail) tmp->makeFolder("book.opf.saving");
        int refreshes = window.refreshes;
        const std::string title = c.title;
        EXPECT_EQ(c.command(*document), c.result);
        EXPECT_EQ(window.questions, std::vector<int32_t>(c.questions, IDS_ASK_SAVE_PACKAGE));
        EXPECT_EQ(window.errors,
                  std::vector<std::string>(c.savesFail ? 1 : 0,
                                           std::to_string(IDS_SAVE_FAILED) + " " + tmp->file("book.opf")));
        EXPECT_EQ(written(), c.written);
        EXPECT_EQ(document->isOpen, c.open);
        // What is closed is cleared.
        EXPECT_EQ(document->manifestCount, c.open ? (c.changed && title == "book.opf" ? 2 : 1) : 0);
        EXPECT_EQ(window.enabledState, c.open ? 1 : 0);
        EXPECT_EQ(window.title, "Quirebound Publisher" + (title.empty() ? "" : " - " + title));
        EXPECT_EQ(window.refreshes > refreshes, title != "book.opf");
        // The package still open keeps its changes until they reach the file.
        if (c.changed && title == "book.opf") {
            EXPECT_EQ(document->modified, !c.written);
        }
    }
}

TEST_F(EditorDocumentTest, SaveAsAppendsTheExtensionUnlessTypedAndKeepsTheOldNameWhenNothingWasWritten) {
    struct Case {
        const char* typed;    // empty: the dialog is cancelled
        const char* written;  // null: nothing written, the old name stays
    } const cases[] = {
        // The rule looks for ".opf" as typed, anywhere in the name.
        {"copy", "copy.opf"}, {"copy.OPF", "copy.OPF.opf"},    {"copy.opf.old", "copy.opf.old"},
        {"", nullptr},        {"nofolder\\copy.opf", nullptr},
    };
    for (const Case& c : cases) {
        const std::string before = document->path;
        window.choice = c.typed[0] != '\0' ? tmp->file(c.typed) : "";
        size_t errors = window.errors.size();
        EXPECT_EQ(document->savePackageAs(), c.written != nullptr) << c.typed;
        EXPECT_EQ(window.saveDialogStartedWith, before);
        const std::string now = c.written != nullptr ? tmp->file(c.written) : before;
        EXPECT_TRUE(c.written == nullptr || tmp->exists(c.written)) << c.typed;
        EXPECT_EQ(window.title, "Quirebound Publisher - " + now.substr(tmp->path().size()));
        // Relative references resolve against the folder of the name kept.
        EXPECT_EQ(std::string(document->path), now);
        EXPECT_EQ(std::string(document->folder), tmp->path());
        // Only a failure is shown, naming the file.
        bool failed = c.written == nullptr && c.typed[0] != '\0';
        EXPECT_EQ(window.errors.size(), errors + (failed ? 1 : 0)) << c.typed;
    }
}

}  // namespace
