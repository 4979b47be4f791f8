// The layout source of the window information report: the lines, the escaping of literals,
// and a list too long for the buffer.
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "textwin/report_source.h"

namespace {

std::unique_ptr<SourceList> new_list(void)
{
    std::unique_ptr<SourceList> s(new SourceList);
    source_begin(s.get());
    return s;
}

}  // namespace

TEST(ReportSource, ReproducesTheLayoutOfOneImageTextAndButtonBox)
{
    auto s = new_list();
    source_section(s.get(), "Image Window");
    source_image_window(s.get(), 0, 8, 1, "img", 10, 20, 640, 480, 100);
    source_section(s.get(), "Text Window");
    source_text_window(s.get(), 0, 650, 0, 200, 200);
    source_section(s.get(), "Button Box");
    source_button_box(s.get(), 650, 236, 3, 2, 310, 64);
    for (int i = 0; i < 6; i++) source_button_title(s.get(), i, std::to_string(i).c_str());
    source_section(s.get(), "Main Window");
    source_end(s.get());
    std::string expected =
        "\t// KAVLIB --- Automatic Source Generator\r\n"
        "\t// [Image Window]\r\n"
        "\tKAV_CreateImage8(0,\"img\",10,20,640,480,100);\r\n"
        "\t// [Text Window]\r\n"
        "\tKAV_OpenTextWindow(0,650,0,200,200);\r\n"
        "\t// [Button Box]\r\n"
        "\tKAV_OpenButtonBox(650,236,3,2);\r\n"
        "\tKAV_ResizeButtonBox(310,64);\r\n";
    for (int i = 0; i < 6; i++) expected += "\tKAV_SetButtonBoxTitle(" + std::to_string(i) + ",\"" + std::to_string(i) + "\");\r\n";
    expected += "\t// [Main Window]\r\n\tKAV_SetForeground(KAVMAINWINDOW);\r\n";
    EXPECT_EQ(expected, std::string(s->text));
    EXPECT_EQ((int)expected.size(), s->length);
    EXPECT_EQ(0, s->cut);
}

TEST(ReportSource, CallsFollowBitsAndSizeLimitAndLiteralsAreEscaped)
{
    auto s = new_list();
    source_image_window(s.get(), 1, 32, 1, "a", 0, 0, 1, 1, 100);
    source_image_window(s.get(), 2, 32, 0, "b", 0, 0, 1, 1, 50);
    source_image_window(s.get(), 3, 8, 0, "c\"d\\e", -5, 7, 2, 3, 200);
    source_input_box(s.get(), 1, 2, 3, 60, 120);
    source_input_title(s.get(), 0, "tab\there");
    source_button_title(s.get(), 4, "two\nlines");
    source_place_main(s.get(), -8, 900);
    EXPECT_EQ(
        "\t// KAVLIB --- Automatic Source Generator\r\n"
        "\tKAV_CreateImage(1,\"a\",0,0,1,1,100);\r\n"
        "\tKAV_CreateImageFL(2,\"b\",0,0,1,1,50);\r\n"
        "\tKAV_CreateImage8FL(3,\"c\\\"d\\\\e\",-5,7,2,3,200);\r\n"
        "\tKAV_OpenInputBox(1,2,3);\r\n"
        "\tKAV_ResizeInputBox(60,120);\r\n"
        "\tKAV_SetInputBoxTitle(0,\"tab\\there\");\r\n"
        "\tKAV_SetButtonBoxTitle(4,\"two\\nlines\");\r\n"
        "\tKAV_PlaceMain(-8,900);\r\n",
        std::string(s->text));

    // Other control bytes and bytes above 127 become three-digit octal escapes, so a digit
    // after them stays a digit; a literal without room is refused whole.
    char out[32];
    EXPECT_EQ(0, escape_literal("\x01" "7\x7f\xe9" "%", out, sizeof out));
    EXPECT_STREQ("\\0017\\177\\351%", out);
    EXPECT_EQ(1, escape_literal("\\\\\\\\", out, 8));
    EXPECT_STREQ("", out);
}

TEST(ReportSource, AListTooLongEndsAtAWholeLineWithACommentAndNeverOverruns)
{
    auto s = new_list();
    std::string name(200, 'n');
    for (int n = 0; n < 256; n++) source_image_window(s.get(), n, 32, 1, name.c_str(), 1, 2, 3, 4, 100);
    source_end(s.get());
    std::string text(s->text);
    EXPECT_EQ(1, s->cut);
    EXPECT_EQ((int)text.size(), s->length);
    EXPECT_LE(text.size(), (size_t)KAV_SOURCE_BYTES - 1);
    EXPECT_GT(text.size(), (size_t)KAV_SOURCE_BYTES - 300) << "fills the buffer before cutting";
    size_t last = text.rfind("\t//");
    EXPECT_NE(std::string::npos, text.find("cut", last));
    EXPECT_EQ(text.size() - 2, text.find("\r\n", last)) << "the comment is the last line";
    // Every line before it is a whole call.
    size_t at = text.find("\r\n") + 2;
    while (at < last) {
        size_t end = text.find("\r\n", at);
        EXPECT_EQ(");", text.substr(end - 2, 2));
        at = end + 2;
    }
    EXPECT_EQ(std::string::npos, text.find("KAV_SetForeground"));

    // A name too long for a line ends the list at that window.
    auto t = new_list();
    std::string huge(5000, 'h');
    source_image_window(t.get(), 0, 8, 1, huge.c_str(), 0, 0, 1, 1, 100);
    source_text_window(t.get(), 0, 0, 0, 10, 10);
    EXPECT_EQ(1, t->cut);
    EXPECT_EQ(std::string::npos, std::string(t->text).find("KAV_OpenTextWindow"));
}
