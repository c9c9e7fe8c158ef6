// Every dialog of the game checked from its sprites' rectangles on the headless host, so a machine
// without a display runs the check too: each button lies inside its dialog's frame, and the tooltip it
// shows when the pointer rests on its middle stays inside the frame and covers no other control's text.
// The dialogs are reached by the same tour as the screens' pictures test takes under a virtual X server
// (the same clicks, the same seeds); the tooltips known to stick out are the accepted exceptions, and one that no
// longer does must come off their list.
#include "support/ScreenTour.h"

#include "support/DialogRectangles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using testsupport::kSettleFrames;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

class DialogRectangles : public testsupport::ScreenTour {
protected:
    // The dialogs shown now are in order, but for the known tooltips.
    void look(const std::string& stop, double, bool) override
    {
        SpriteCanvas* shown = canvas();
        ASSERT_NE(shown, nullptr) << stop;
        for (const testsupport::RectangleFault& fault : testsupport::newDialogRectangleFaults(*shown, kWidth, kHeight, &knownSeen))
            ADD_FAILURE() << stop << ": " << fault.text;
    }

    std::vector<std::string> knownSeen;
};

TEST_F(DialogRectangles, EveryDialogOfEveryScreenKeepsItsButtonsAndTooltipsInItsFrame)
{
    ASSERT_NO_FATAL_FAILURE(tourTitle());
    ASSERT_NO_FATAL_FAILURE(tourTreasures());
    ASSERT_NO_FATAL_FAILURE(tourClassicGame());

    // Every known tooltip still sticks out somewhere; one that no longer does is mended and comes off
    // the list, so that it cannot come back unnoticed.
    for (const std::string& known : testsupport::tooltipsStillOut())
        EXPECT_NE(std::find(knownSeen.begin(), knownSeen.end(), known), knownSeen.end())
            << "\"" << known << "\" is in order now: take it off the known tooltips in support/DialogRectangles.h";
}

TEST_F(DialogRectangles, AnEndlessGameAndTheTitleWithItsSavedGame)
{
    ASSERT_NO_FATAL_FAILURE(enterName("Ann"));
    tourEndlessGame();
}

} // namespace
