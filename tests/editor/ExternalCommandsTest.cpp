#include <gtest/gtest.h>

#include <string>

#include "editor/ExternalCommands.h"

namespace {

std::string command(const char* editor, const char* path, size_t capacity = 600) {
    char out[600];
    if (!composeHtmlEditorCommand(editor, path, out, capacity)) return "(nothing)";
    return out;
}

// The editor, a blank and the path without its fragment, cut to the buffer;
// nothing for an empty path or a fragment alone.
TEST(HtmlEditorCommandTest, IsTheEditorABlankAndThePathWithoutItsFragment) {
    EXPECT_EQ(command("notepad.exe", "C:\\book\\text\\ch1.htm#part2"), "notepad.exe C:\\book\\text\\ch1.htm");
    EXPECT_EQ(command("\"C:\\Program Files\\ed.exe\" -n", "a b.htm"),
              "\"C:\\Program Files\\ed.exe\" -n a b.htm");
    EXPECT_EQ(command("ed", "a.htm#x#y"), "ed a.htm");
    EXPECT_EQ(command("ed", ""), "(nothing)");
    EXPECT_EQ(command("ed", "#top"), "(nothing)");
    EXPECT_EQ(command("ed", "abcdefgh", 8), "ed abcd");
    EXPECT_EQ(command("editor", "abc", 4), "edi");
}

}  // namespace
