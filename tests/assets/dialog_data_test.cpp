// The data the help, credits, options and statistics dialogs read, each under the kind its lookup reads.
#include "assets/DataSet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool hasSurface(const std::string& id)
{
    const auto& entries = dataset::loaded().resources();
    return std::any_of(entries.begin(), entries.end(),
                       [&](const dataset::ResourceEntry& e) { return e.kind == "Surface" && e.id == id; });
}

TEST(DialogData, EveryIdentifierTheDialogsReadHasItsKind)
{
    const dataset::LayoutEntries& layout = dataset::loaded().layout();
    for (const char* id : {"LABEL_HEADER", "LABEL_DESCRIPTION", "LABEL_VALUE", "BUTTON_CONTINUE", "LABEL_TEXT",
                           "LABEL_ABOUT_HEADER", "LABEL_HELP_CHAPTER", "LABEL_HELP_TEXT", "LABEL_HELP_PAGE_NR",
                           "BUTTON_PREV", "BUTTON_NEXT", "BUTTON_OK", "LABEL_SLIDER", "LABEL_TOGGLE",
                           "SLIDER_SOUNDFX", "SLIDER_MUSIC", "TOGGLE_FULL_SCREEN", "TOGGLE_SHOW_HINTS",
                           "BUTTON_INFO", "BUTTON_CANCEL"})
        EXPECT_TRUE(layout.templates.count(id)) << id << " is a layout template";
    for (const char* id : {"ABOUT_VERSION", "ABOUT_CREDITS_HEADER", "ABOUT_CREDITS_TEXT", "ABOUT_MUSIC_HEADER",
                           "ABOUT_MUSIC_TEXT", "TOOLTIP_HELP_PREV", "TOOLTIP_HELP_NEXT", "STRING_SETTINGS_SOUND",
                           "STRING_SETTINGS_MUSIC", "STRING_FULLSCREEN_TOGGLE", "STRING_SHOWHINTS_TOGGLE"}) {
        ASSERT_TRUE(layout.strings.count(id)) << id << " is a layout string";
        EXPECT_FALSE(layout.strings.at(id).empty()) << id;
    }
    const std::string& version = layout.strings.at("ABOUT_VERSION");
    EXPECT_NE(version.find("%s"), std::string::npos) << "the version line takes the version";
    EXPECT_EQ(std::count(version.begin(), version.end(), '%'), 1) << version;
    for (const char* id : {"IMAGE_DIALOG_HELP", "IMAGE_DIALOG_QUARRYTIDE", "IMAGE_DIALOG_BOTTOM_BIG",
                           "IMAGE_DIALOG_BOTTOM_SMALL", "IMAGE_BUTTON_CONTINUE", "IMAGE_BUTTON_PREV",
                           "IMAGE_BUTTON_NEXT", "IMAGE_DIALOG_SETTINGS", "IMAGE_SLIDER_BACK", "IMAGE_SLIDER_KNOB",
                           "IMAGE_BUTTON_INFO", "IMAGE_DIALOG_HEADER_SMALL"})
        EXPECT_TRUE(hasSurface(id)) << id << " is a picture";
    EXPECT_FALSE(dataset::loaded().properties().getString("MESSAGE_24BITS").empty())
        << "the options' refusal to leave full screen is a property string";
}

TEST(DialogData, EveryHelpPageHasItsChapterTitle)
{
    const auto& lists = dataset::loaded().layout().stringLists;
    ASSERT_TRUE(lists.count("HELP_TEXTS"));
    ASSERT_TRUE(lists.count("HELP_CHAPTERS"));
    const std::vector<std::string>& pages = lists.at("HELP_TEXTS");
    const std::vector<std::string>& chapters = lists.at("HELP_CHAPTERS");
    EXPECT_GE(pages.size(), 4u) << "how to play, the special blocks, the modes, treasures and bonuses";
    EXPECT_GE(chapters.size(), pages.size());
    for (std::size_t i = 0; i < pages.size() && i < chapters.size(); ++i) {
        EXPECT_FALSE(pages[i].empty()) << "page " << i;
        EXPECT_FALSE(chapters[i].empty()) << "chapter " << i;
    }
}

} // namespace
