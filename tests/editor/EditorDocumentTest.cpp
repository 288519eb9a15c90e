#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
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
    bool openChoiceMade = true;
    std::string openChoice;
    bool saveChoiceMade = true;
    std::string saveChoice;
    std::string saveDialogStartedWith;

    void showTitle(const char* text) override { title = text; }
    void enableDocumentCommands(bool enabled) override { enabledState = enabled ? 1 : 0; }
    void refreshAllViews() override { ++refreshes; }
    bool askYesNo(int32_t stringId) override {
        questions.push_back(stringId);
        return answerYes;
    }
    void showErrorAboutFile(int32_t stringId, const char* path) override {
        errors.push_back(std::to_string(stringId) + " " + path);
    }
    void showWarningAboutFile(int32_t stringId, const char* path) override {
        warnings.push_back(std::to_string(stringId) + " " + path);
    }
    bool askOpenPackageName(char* out) override {
        copyText(out, kFieldSize, openChoiceMade ? openChoice.c_str() : "");
        return openChoiceMade;
    }
    bool askSavePackageName(char* inOut) override {
        saveDialogStartedWith = inOut;
        copyText(inOut, kFieldSize, saveChoiceMade ? saveChoice.c_str() : "");
        return saveChoiceMade;
    }
};

class EditorDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        tmp.write("book.opf", kPackage);
        document->initDocument(window);
    }

    // A folder where the save's temporary file should go makes every save
    // of that package fail, while the package itself stays readable.
    void makeSavesFail(const std::string& name) const { tmp.makeFolder(name + ".saving"); }

    TempFolder tmp;
    RecordingWindow window;
    std::unique_ptr<EditorDocument> document = std::make_unique<EditorDocument>();
};

TEST_F(EditorDocumentTest, OpeningNamesTheFileInTheTitleAndEnablesTheDocumentCommands) {
    ASSERT_TRUE(document->openPackage(tmp.file("book.opf").c_str()));
    EXPECT_EQ(window.title, "Quirebound Publisher - book.opf");
    EXPECT_EQ(window.enabledState, 1);
    EXPECT_TRUE(document->isOpen);
    EXPECT_EQ(std::string(document->path), tmp.file("book.opf"));
    EXPECT_EQ(document->manifestCount, 1);
}

TEST_F(EditorDocumentTest, FailedOpenLeavesTitleAndCommandsAndWarnsNamingTheFile) {
    std::string missing = tmp.file("missing.opf");
    EXPECT_FALSE(document->openPackage(missing.c_str()));
    EXPECT_TRUE(window.warnings.empty());
    EXPECT_EQ(window.title, "Quirebound Publisher");
    EXPECT_EQ(window.enabledState, 0);

    EXPECT_FALSE(document->openPackageOrWarn(missing.c_str()));
    ASSERT_EQ(window.warnings.size(), 1u);
    EXPECT_EQ(window.warnings[0], std::to_string(IDS_OPEN_FAILED) + " " + missing);
    EXPECT_FALSE(document->isOpen);
}

TEST_F(EditorDocumentTest, OpenCommandOffersToSaveTheOpenPackageFirst) {
    ASSERT_TRUE(document->openPackage(tmp.file("book.opf").c_str()));
    document->addManifestItem("ch2", "ch2.htm", "text/x-oeb1-document");
    tmp.write("other.opf", kPackage);
    window.openChoice = tmp.file("other.opf");

    document->openCommand();  // No: the open package's file is left alone.

    EXPECT_EQ(window.questions, std::vector<int32_t>{IDS_ASK_SAVE_PACKAGE});
    EXPECT_EQ(tmp.read("book.opf"), kPackage);
    EXPECT_EQ(window.title, "Quirebound Publisher - other.opf");
    EXPECT_EQ(document->manifestCount, 1);
    EXPECT_GT(window.refreshes, 0);

    document->addManifestItem("ch2", "ch2.htm", "text/x-oeb1-document");
    window.answerYes = true;
    window.openChoiceMade = false;
    document->openCommand();  // Yes writes it, then the dialog is cancelled.

    EXPECT_NE(tmp.read("other.opf").find("ch2.htm"), std::string::npos);
    EXPECT_FALSE(document->isOpen);
    EXPECT_EQ(window.title, "Quirebound Publisher");
}

TEST_F(EditorDocumentTest, SaveAsAppendsTheExtensionOnlyWhenTheNameLacksItAnywhere) {
    ASSERT_TRUE(document->openPackage(tmp.file("book.opf").c_str()));
    // The rule looks for ".opf" as typed, anywhere in the name.
    const std::pair<const char*, const char*> cases[] = {
        {"copy", "copy.opf"}, {"copy.OPF", "copy.OPF.opf"}, {"copy.opf.old", "copy.opf.old"}};
    for (const auto& [typed, written] : cases) {
        std::string before = document->path;
        window.saveChoice = tmp.file(typed);
        ASSERT_TRUE(document->savePackageAs()) << typed;
        EXPECT_EQ(window.saveDialogStartedWith, before);
        EXPECT_TRUE(tmp.exists(written)) << typed;
        EXPECT_EQ(window.title, std::string("Quirebound Publisher - ") + written);
        EXPECT_EQ(std::string(document->path), tmp.file(written));
    }
}

TEST_F(EditorDocumentTest, FailedSaveOrCloseIsShownNamingTheFileAndKeepsBothPackages) {
    ASSERT_TRUE(document->openPackage(tmp.file("book.opf").c_str()));
    document->addManifestItem("ch2", "ch2.htm", "text/x-oeb1-document");
    document->markModified();
    makeSavesFail("book.opf");

    EXPECT_FALSE(document->savePackage());
    // Closing writes too: it fails the same way and keeps the package open.
    EXPECT_FALSE(document->closePackage(true));

    EXPECT_EQ(window.errors,
              std::vector<std::string>(2, std::to_string(IDS_SAVE_FAILED) + " " + tmp.file("book.opf")));
    EXPECT_EQ(tmp.read("book.opf"), kPackage);
    EXPECT_TRUE(document->modified);
    EXPECT_TRUE(document->isOpen);
    EXPECT_EQ(document->manifestCount, 2);
}

TEST_F(EditorDocumentTest, ACancelledOrFailedSaveAsKeepsTheOldNameEverywhere) {
    ASSERT_TRUE(document->openPackage(tmp.file("book.opf").c_str()));
    const std::string target = tmp.file("nofolder\\copy.opf");
    window.saveChoice = target;
    for (bool cancelled : {true, false}) {
        window.saveChoiceMade = !cancelled;
        EXPECT_FALSE(document->savePackageAs());
        // Only the failure is shown, naming the file.
        EXPECT_EQ(window.errors, std::vector<std::string>(cancelled ? 0 : 1,
                                                          std::to_string(IDS_SAVE_FAILED) + " " + target));
        EXPECT_EQ(window.title, "Quirebound Publisher - book.opf");
        // Relative references still resolve against the package's own folder.
        EXPECT_EQ(std::string(document->path), tmp.file("book.opf"));
        EXPECT_EQ(std::string(document->folder), tmp.path());
    }
}

TEST_F(EditorDocumentTest, CloseWritesWithoutAskingAndEmptiesTheEditor) {
    ASSERT_TRUE(document->openPackage(tmp.file("book.opf").c_str()));
    document->addManifestItem("ch2", "ch2.htm", "text/x-oeb1-document");
    int refreshesBefore = window.refreshes;

    document->closeCommand();

    EXPECT_TRUE(window.questions.empty());
    EXPECT_NE(tmp.read("book.opf").find("ch2.htm"), std::string::npos);
    EXPECT_FALSE(document->isOpen);
    EXPECT_EQ(document->manifestCount, 0);
    EXPECT_EQ(window.enabledState, 0);
    EXPECT_EQ(window.title, "Quirebound Publisher");
    EXPECT_GT(window.refreshes, refreshesBefore);
}

TEST_F(EditorDocumentTest, SavingOrClosingWithNothingOpenWritesNothing) {
    document->closeCommand();
    document->saveCommand();
    EXPECT_TRUE(window.errors.empty());
    EXPECT_FALSE(tmp.exists(".saving"));
}

TEST_F(EditorDocumentTest, ExitAsksOnlyAfterChangesAndStaysWhenTheSaveFails) {
    struct Case {
        const char* what;
        bool changed, answerYes, savesFail;
        bool mayExit;
        size_t questions, errors;
        bool written;
    } cases[] = {
        {"unchanged", false, true, false, true, 0, 0, false},
        {"No", true, false, false, true, 1, 0, false},
        {"Yes", true, true, false, true, 1, 0, true},
        {"Yes, failing save", true, true, true, false, 1, 1, false},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        folder.write("book.opf", kPackage);
        RecordingWindow seen;
        seen.answerYes = c.answerYes;
        auto doc = std::make_unique<EditorDocument>();
        doc->initDocument(seen);
        ASSERT_TRUE(doc->openPackage(folder.file("book.opf").c_str())) << c.what;
        if (c.changed) {
            doc->addManifestItem("ch2", "ch2.htm", "text/x-oeb1-document");
            doc->markModified();
        }
        if (c.savesFail) folder.makeFolder("book.opf.saving");
        EXPECT_EQ(doc->mayExit(), c.mayExit) << c.what;
        EXPECT_EQ(seen.questions, std::vector<int32_t>(c.questions, IDS_ASK_SAVE_PACKAGE)) << c.what;
        EXPECT_EQ(seen.errors.size(), c.errors) << c.what;
        EXPECT_EQ(folder.read("book.opf").find("ch2.htm") != std::string::npos, c.written) << c.what;
        if (c.written) {
            EXPECT_FALSE(doc->modified) << c.what;
        }
    }
}

}  // namespace
