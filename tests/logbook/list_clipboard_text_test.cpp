#include "logbook/list_clipboard_text.h"

#include <gtest/gtest.h>

using namespace korval;

TEST(ListClipboardText, SelectedLinesOrAllOfThem)
{
    std::vector<std::string> lines{"a", "b", "c"};
    EXPECT_EQ(ListLinesToClipboardText(lines, {false, false, false}), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(ListLinesToClipboardText(lines, {false, true, true}), "b\r\nc\r\n");
    EXPECT_EQ(ListLinesToClipboardText({}, {}), "");
}
