#include "compat/host/testing.h"
#include "compat/win32/system/notify/messagebox.h"
#include "compat/win32/system/process/module.h"
#include "compat/win32/path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

TEST(ModuleFileName, IsTheRunningProgramInBackslashForm)
{
    char buffer[4096];
    DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    ASSERT_GT(length, 0u);
    std::string path(buffer, length);
    EXPECT_EQ(path.find('/'), std::string::npos);
    EXPECT_EQ(std::filesystem::canonical(compat::hostPath(path)), std::filesystem::canonical("/proc/self/exe"));

    // A short buffer holds a terminated prefix and the call reports the size it was given.
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 4u);
    EXPECT_EQ(std::string(small), path.substr(0, 3));
}

TEST(MessageBox, AnswersTheDefaultButtonOrTheScriptedAnswers)
{
    struct Case {
        UINT type;
        int answer;
    };
    const Case cases[] = {
        {MB_OK | MB_ICONERROR, IDOK},
        {MB_YESNO, IDYES},
        {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
        {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
    };
    compat::testing::takeShownMessageBoxes();
    for (const Case& c : cases)
        EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", c.type), c.answer) << c.type;

    compat::testing::scriptMessageBoxAnswers({IDNO, IDCANCEL});
    EXPECT_EQ(MessageBoxA(nullptr, "Send report?", "Fatal exception.", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "b", "c", MB_OK), IDCANCEL);
    EXPECT_EQ(MessageBoxA(nullptr, "b", "c", MB_YESNO), IDYES) << "script used up";

    auto shown = compat::testing::takeShownMessageBoxes();
    ASSERT_EQ(shown.size(), 8u);
    EXPECT_EQ(shown[5].caption, "Fatal exception.");
    EXPECT_EQ(shown[5].text, "Send report?");
    EXPECT_EQ(shown[5].type, MB_YESNO);
    EXPECT_TRUE(compat::testing::takeShownMessageBoxes().empty());
}

TEST(MessageBox, AsksTheHostWithTheButtonsEnterAndEscapeOfItsType)
{
    using Box = compat::host::MessageBox;
    const std::size_t before = compat::testing::headlessState().messageBoxes.size();
    // The headless host shows nothing, so each box still answers its default button.
    EXPECT_EQ(MessageBoxA(nullptr, "Save?", "Quarrytide", MB_YESNOCANCEL | MB_DEFBUTTON2 | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "Quit?", "Quarrytide", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "Broken.", "Fatal exception.", MB_OK | MB_ICONERROR), IDOK);

    const std::vector<Box> boxes = compat::testing::headlessState().messageBoxes;
    ASSERT_EQ(boxes.size(), before + 3);
    const Box& save = boxes[before];
    EXPECT_EQ(save.caption, "Quarrytide");
    EXPECT_EQ(save.text, "Save?");
    EXPECT_EQ(save.icon, Box::Icon::Question);
    ASSERT_EQ(save.buttons.size(), 3u);
    EXPECT_EQ(save.buttons[0].id, IDYES);
    EXPECT_EQ(save.buttons[0].text, "Yes");
    EXPECT_EQ(save.buttons[2].id, IDCANCEL);
    EXPECT_EQ(save.defaultButton, 1);
    EXPECT_EQ(save.escapeButton, 2);

    const Box& quit = boxes[before + 1];
    ASSERT_EQ(quit.buttons.size(), 2u);
    EXPECT_EQ(quit.escapeButton, -1) << "a yes/no question must be answered";
    const Box& broken = boxes[before + 2];
    EXPECT_EQ(broken.icon, Box::Icon::Error);
    ASSERT_EQ(broken.buttons.size(), 1u);
    EXPECT_EQ(broken.buttons[0].text, "OK");
    EXPECT_EQ(broken.escapeButton, 0);
}
