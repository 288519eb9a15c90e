#include <gtest/gtest.h>

#include <string>

#include "model/CommandLinePath.h"

namespace {

TEST(ProgramTextTest, Utf8ArgumentsBecomeWindows1252WithReferencesForTheRest) {
    const struct {
        std::string argument, text;
    } cases[] = {
        {"Zo\xC3\xAB \xE2\x80\x93 \xE2\x82\xAC", "Zo\xEB \x96 \x80"},
        {"\xCE\xA9 \xF0\x9F\x98\x80 \xC2\x85", "&#937; &#128512; &#133;"},
        // Bytes that are no UTF-8 stay, so 8-bit arguments pass unchanged.
        {"caf\xE9 \xC3", "caf\xE9 \xC3"},
        {"\xE2\x82x", "\xE2\x82x"},
    };
    for (const auto& c : cases) {
        char out[256];
        EXPECT_TRUE(argumentToProgramText(c.argument.c_str(), out, sizeof out));
        EXPECT_EQ(std::string(out), c.text) << c.argument;
    }
    char small[8];
    EXPECT_FALSE(argumentToProgramText("\xCE\xA9\xCE\xA9", small, sizeof small));
}

}  // namespace
