// The answers of the in-game dialogs and the dialogs the field builds itself: which event each answer
// sends, which dialog follows it, and what stays on the canvas.
#include "FieldFixture.h"

#include "game/stats/PlayerFiles.h"
#include "toolkit/sprite/SpriteCanvas.h"

#include <fstream>

namespace {

using fieldtest::FieldFixture;
using fieldtest::RecordingServices;
using fieldtest::TestPlayScene;

class GuestServices : public RecordingServices {
public:
    bool isGuest() override { return guest; }
    bool guest = false;
};

// The field with its dialog slots in reach.
class DialogScene : public TestPlayScene {
public:
    using TestPlayScene::TestPlayScene;
    using PlayScene::openDialogSprite;
    using PlayScene::showDialogOfKind;
    using PlayScene::statsDialog;
};

class PlayInputTest : public FieldFixture {
protected:
    void SetUp() override
    {
        FieldFixture::SetUp();
        guest.saveDirectory = services.saveDirectory;
        FieldServices::install(&guest);
        scorePending = false;
        uploadScore = 0;
        scoreUploadState = 0;
        scoreUploadResult = 0;
    }
    void TearDown() override
    {
        scorePending = false;
        uploadScore = 0;
        scoreUploadState = 0;
        scoreUploadResult = 0;
        FieldFixture::TearDown();
    }

    DialogScene* dialogScene()
    {
        auto* field = new DialogScene(&settings);
        field->addRef();
        scene = field;
        fill("......\n......\n......\n......\nRGBYPR");
        canvas->addSprite(field);
        field->setPhase(PlayPhase::Playing);
        field->events.clear();
        return field;
    }

    // A plain dialog of the name, shown by the field as its open dialog.
    Dialog* showAnswerable(DialogScene* field, const std::string& name)
    {
        auto* dialog = keep(new Dialog(0, 0, 100, 80));
        dialog->setName(name);
        // The field, not the dialog, decides whether the answered dialog goes.
        dialog->setCloseOnButton(false);
        TestPlayScene::hold(field->openDialogSprite, dialog);
        dialog->setListener(field);
        canvas->addSprite(dialog);
        frame();
        return dialog;
    }

    static std::string openName(DialogScene* field)
    {
        return field->getOpenDialog() ? field->getOpenDialog()->getName() : "";
    }

    GuestServices guest;
};

TEST_F(PlayInputTest, TheScoreHandOverDialogsLeadFromOneToTheNext)
{
    struct Case {
        const char* dialog;
        const char* button;
        bool pending;
        int score;
        bool isGuest;
        int result;
        std::vector<int> events;
        const char* follows; // the dialog shown next, "" for none
        bool answeredLeaves;  // the answered dialog leaves the canvas
        std::vector<std::string> posts;
    };
    const int closed = PlayEvent::DialogClosed;
    const Case cases[] = {
        {"DIALOG_HIGHSCORE_STATS", "BUTTON_OK", true, 0, false, 0, {closed}, "", false, {}},
        {"DIALOG_HIGHSCORE_STATS", "BUTTON_OK", true, 120, false, 0, {}, "DIALOG_UPDATE_SCORES", true, {"post 21024"}},
        {"DIALOG_HIGHSCORE_STATS", "BUTTON_OK", true, 120, true, 0, {}, "DIALOG_SINGLE_PLAYER", true, {}},
        {"DIALOG_UPDATE_SCORES", "BUTTON_YES", true, 120, false, 0, {}, "DIALOG_WAITING", true, {"post 21025"}},
        {"DIALOG_UPDATE_SCORES", "BUTTON_NO", true, 120, false, 0, {closed}, "", true, {"post 21025"}},
        {"DIALOG_UPDATE_SCORES", "BUTTON_NO", false, 120, false, 0, {closed}, "", false, {"post 21025"}},
        {"DIALOG_SINGLE_PLAYER", "BUTTON_OK", true, 120, true, 0, {closed}, "", true, {}},
        {"DIALOG_WAITING", "BUTTON_OK", true, 120, false, 1, {}, "DIALOG_UPDATE_SUCCESS", true, {}},
        {"DIALOG_WAITING", "BUTTON_OK", true, 120, false, 2, {}, "DIALOG_UPDATEA_FAIL", true, {}},
        {"DIALOG_WAITING", "BUTTON_OK", true, 120, false, 0, {}, "", true, {}},
        {"DIALOG_UPDATE_SUCCESS", "BUTTON_OK", true, 120, false, 1, {closed}, "", true, {}},
        {"DIALOG_UPDATEA_FAIL", "BUTTON_OK", false, 120, false, 2, {closed}, "", false, {}},
        // A statistics dialog of the mode gives way to the question only while a hand-over is due.
        {"DIALOG_LEVEL_STATS", "BUTTON_OK", true, 120, false, 0, {}, "DIALOG_UPDATE_SCORES", false, {"post 21024"}},
        {"DIALOG_LEVEL_STATS", "BUTTON_OK", false, 120, false, 0, {closed}, "", false, {}},
        {"DIALOG_LEVEL_STATS", "BUTTON_OK", true, 0, false, 0, {closed}, "", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.dialog) + " " + c.button + " pending " + std::to_string(c.pending) + " score " +
                     std::to_string(c.score) + " result " + std::to_string(c.result));
        DialogScene* field = dialogScene();
        scorePending = c.pending;
        // The field hands its shown score over every frame.
        field->setShownScore(c.score);
        scoreUploadState = 0;
        scoreUploadResult = c.result;
        guest.guest = c.isGuest;
        guest.calls.clear();
        Dialog* answered = showAnswerable(field, c.dialog);
        auto* stats = keep(new Dialog(0, 0, 50, 50));
        TestPlayScene::hold(field->statsDialog, stats);
        canvas->addSprite(stats);

        answer(answered, c.button);
        // The hand-over, once started, moves on in the field's frames.
        const int uploadState = scoreUploadState;
        frame();
        EXPECT_EQ(field->events, c.events);
        EXPECT_EQ(openName(field), c.follows);
        if (*c.follows) {
            EXPECT_EQ(field->getOpenDialog()->getCanvas(), canvas) << "the next dialog is shown";
            EXPECT_EQ(dynamic_cast<Dialog*>(field->getOpenDialog())->getListener(), field);
        }
        EXPECT_EQ(answered->getCanvas() == nullptr, c.answeredLeaves);
        EXPECT_EQ(answered->getListener(), nullptr) << "the field no longer hears the answered dialog";
        // The answer requests the hand-over; its exchange has begun by the end of the frame.
        EXPECT_EQ(uploadState, std::string(c.follows) == "DIALOG_WAITING" ? 1 : 0);
        EXPECT_EQ(scoreUploadState, std::string(c.follows) == "DIALOG_WAITING" ? 2 : 0);
        std::vector<std::string> posts;
        for (const std::string& call : guest.calls)
            if (call.compare(0, 5, "post ") == 0)
                posts.push_back(call);
        EXPECT_EQ(posts, c.posts);
        const bool statsReplaced = std::string(c.dialog) == "DIALOG_LEVEL_STATS" && *c.follows;
        EXPECT_EQ(field->statsDialog == nullptr, statsReplaced);
        EXPECT_EQ(stats->getCanvas() == nullptr, statsReplaced);

        canvas->removeAll();
        frame();
        field->unregisterInput();
        field->release();
        scene = nullptr;
    }
}

TEST_F(PlayInputTest, TheMenuAndTheQuestionAnsweredWithoutAButtonChangeNothing)
{
    for (const char* name : {"DIALOG_INGAME_MENU", "DIALOG_UPDATE_SCORES"}) {
        SCOPED_TRACE(name);
        DialogScene* field = dialogScene();
        scorePending = true;
        field->setShownScore(50);
        guest.calls.clear();
        Dialog* answered = showAnswerable(field, name);
        field->onDialogClosed(answered);
        EXPECT_TRUE(field->events.empty());
        EXPECT_EQ(field->getOpenDialog(), answered);
        EXPECT_EQ(guest.count("post"), 0);
        canvas->removeAll();
        frame();
        field->unregisterInput();
        field->release();
        scene = nullptr;
    }
}

TEST_F(PlayInputTest, GivingUpAGameKeepsThePlayersStatisticsFile)
{
    struct Files : PlayerFiles {
        std::string getCurrentPlayer() const override { return "tester"; }
        std::string getPlayerFilePath(const std::string& directory, const std::string& player,
                                      const std::string& extension) const override
        {
            return root + directory + "_" + player + extension;
        }
        std::string root;
    } files;
    files.root = dir.file("");
    PlayerFiles* before = stats().getPlayerFiles();
    stats().setPlayerFiles(&files);
    const std::string path = stats().statsFilePath();
    ASSERT_FALSE(path.empty());
    for (const std::string& file : {path, path + ".!"})
        std::ofstream(file) << "kept";

    DialogScene* field = dialogScene();
    field->sendEvent(PlayEvent::Pause);
    ASSERT_EQ(field->getPhase(), PlayPhase::Menu);
    answer(field->getOpenDialog(), "BUTTON_NO");
    EXPECT_EQ(field->getPhase(), PlayPhase::Leave);
    EXPECT_EQ(field->getSaveState(), SaveState::Lost);
    for (const std::string& file : {path, path + ".!"}) {
        std::ifstream in(file);
        std::string text;
        in >> text;
        EXPECT_EQ(text, "kept") << file;
    }
    stats().setPlayerFiles(before);
}

TEST_F(PlayInputTest, TheFieldBuildsItsDialogsWithoutShowingThem)
{
    struct Kind {
        int kind;
        const char* name;
        int posts;
    };
    const Kind kinds[] = {
        {PlayDialog::UpdateScores, "DIALOG_UPDATE_SCORES", 1}, {PlayDialog::SinglePlayer, "DIALOG_SINGLE_PLAYER", 0},
        {PlayDialog::Waiting, "DIALOG_WAITING", 0},            {PlayDialog::UpdateSuccess, "DIALOG_UPDATE_SUCCESS", 0},
        {PlayDialog::UpdateFail, "DIALOG_UPDATEA_FAIL", 0},
    };
    DialogScene* field = dialogScene();
    uploadScore = 4321;
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        guest.calls.clear();
        field->openDialog(k.kind);
        ASSERT_NE(field->getOpenDialog(), nullptr);
        EXPECT_EQ(field->getOpenDialog()->getName(), k.name);
        EXPECT_EQ(field->getOpenDialog()->getCanvas(), nullptr) << "built, not shown";
        EXPECT_EQ(guest.count("post 21024"), k.posts);
        // A message dialog lets go of its parts when it leaves a canvas, so each is shown and taken
        // down again, as the field does with every dialog it builds.
        canvas->addSprite(field->getOpenDialog());
        frame();
        canvas->removeSprite(field->getOpenDialog());
        frame();
    }
    // A kind the field does not build leaves the open dialog as it was.
    Sprite* last = field->getOpenDialog();
    for (int kind : {0, 1, 3, 5, 11, -4})
        field->openDialog(kind);
    EXPECT_EQ(field->getOpenDialog(), last);
}

} // namespace
