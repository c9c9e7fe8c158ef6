// The data the highscore and treasure dialogs read: lists that must agree in length, so no table or
// announcement is left short.
#include "assets/DataSet.h"
#include "resources/properties/PropertyManager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ScoreTreasureData, EachModesHighscoreColumnsHaveAKeyAWidthAndAHeading)
{
    dataset::LoadedDataSet& data = dataset::loaded();
    const auto& lists = data.layout().stringLists;
    ASSERT_TRUE(lists.count("HIGHSCORE_HEADERS"));
    EXPECT_EQ(lists.at("HIGHSCORE_HEADERS").size(), 4u) << "one title per table";
    for (const std::string mode : {"CLASSIC", "ENDLESS"}) {
        ASSERT_TRUE(lists.count(mode + "_HIGHSCORE_HEADER_TEXTS")) << mode;
        const std::size_t headings = lists.at(mode + "_HIGHSCORE_HEADER_TEXTS").size();
        PropertyManager::StringArray* keys = data.properties().getArrayString(mode + "_HIGHSCORE_COLUMNS");
        PropertyManager::IntegerArray* widths = data.properties().getArrayInteger(mode + "_HIGHSCORE_LABEL_WIDTHS");
        ASSERT_TRUE(keys && widths) << mode;
        EXPECT_EQ(keys->size(), headings) << mode;
        EXPECT_EQ(widths->size(), headings) << mode;
        int total = 0;
        for (unsigned i = 0; i < widths->size(); ++i)
            total += widths->elementAt(i);
        EXPECT_LE(total, 200) << mode << ": the columns fit inside the dialog";
    }
}

TEST(ScoreTreasureData, EveryBonusHasANameAndADescription)
{
    const auto& lists = dataset::loaded().layout().stringLists;
    ASSERT_TRUE(lists.count("STRINGS_BONUS_ITEMS"));
    ASSERT_TRUE(lists.count("STRINGS_BONUS_DESCRIPTIONS"));
    EXPECT_EQ(lists.at("STRINGS_BONUS_DESCRIPTIONS").size(), lists.at("STRINGS_BONUS_ITEMS").size());
}

} // namespace
