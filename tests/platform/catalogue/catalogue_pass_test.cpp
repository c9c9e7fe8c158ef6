// Loading passes of the resource catalogue from property entries: every kind of entry, layers that
// replace entries, deferred fonts, progress events, and the failures a pass can meet.
#include "platform/catalogue/CatalogueTestSupport.h"

#include "platform/surface/FrameCounter.h"

namespace {

using compat::testing::playedSounds;

// Lets the application's queued events go, so that a check sees only the events that follow.
void dropEvents(Application& application)
{
    auto& queue = application.getEventQueue();
    while (queue.size() > 0)
        delete queue.removeElementAt(0);
}

TEST_F(CatalogueTest, APassLoadsEveryKindOfEntry)
{
    withSound();
    writePng("images\\tiles.png", 8, 4, 0x336699);
    writeGreyBmp("images\\tiles_mask.bmp", 8, 4, 0x80);
    writeFontPicture("fonts\\small.png", 3, 4, 6);
    writeGreyBmp("masks\\fade.bmp", 4, 2, 0x40);
    write("sounds\\click.wav", testsupport::makeWav(0.1));
    write("scripts\\intro.txt", "hello");
    // The font comes first and names a surface entry that follows it.
    parse(R"(
<Font id="FONT_SMALL" tag="2" charspace="3" linespace="9" spacewidth="5" color="FF00FF00">
  <Surface>IMAGE_FONT</Surface><Characters>ABC</Characters>
</Font>
<Surface id="IMAGE_TILES" tag="1">
  <Image id="TILES_PICTURE" mem="video">images\tiles.png</Image>
  <Mask id="TILES_MASK">images\tiles_mask.bmp</Mask>
</Surface>
<Surface id="IMAGE_FONT"><Image>fonts\small.png</Image></Surface>
<Mask id="MASK_FADE">masks\fade.bmp</Mask>
<Sound id="SOUND_CLICK" tag="3">sounds\click.wav</Sound>
<Script id="SCRIPT_INTRO">scripts\intro.txt</Script>)");
    EXPECT_EQ(5, catalogue->getTotal());
    EXPECT_EQ(1u, catalogue->getDeferred().size());

    EXPECT_EQ(5, runPass());
    EXPECT_EQ(0u, catalogue->getPending().size());
    EXPECT_EQ(0u, catalogue->getDeferred().size());

    SurfaceHolder* tiles = ResourceManager::getImage("IMAGE_TILES");
    ASSERT_NE(nullptr, tiles);
    ASSERT_NE(nullptr, tiles->getSurface());
    EXPECT_EQ("TILES_PICTURE", tiles->getSurface()->getName());
    EXPECT_EQ(8u, tiles->getSurface()->getDesc().width);
    EXPECT_EQ(0x336699u, peek(tiles->getSurface(), 7, 3) & 0xFFFFFF);
    EXPECT_EQ(static_cast<std::uint32_t>(BlitOptions::BlendMask), tiles->getOptions()->flags);
    ASSERT_NE(nullptr, tiles->getMask());
    EXPECT_EQ("TILES_MASK", tiles->getMask()->getName());
    EXPECT_EQ(0x80, static_cast<std::uint8_t*>(tiles->getMask()->pixels())[0]);
    EXPECT_EQ(tiles->getMask(), ResourceManager::getMask("TILES_MASK"));

    MemorySurface* fade = ResourceManager::getMask("MASK_FADE");
    ASSERT_NE(nullptr, fade);
    EXPECT_EQ(4u, fade->getDesc().width);
    EXPECT_EQ(0x40, static_cast<std::uint8_t*>(fade->pixels())[7]);

    BitmapFont* font = ResourceManager::getFont("FONT_SMALL");
    ASSERT_NE(nullptr, font);
    EXPECT_EQ(ResourceManager::getImage("IMAGE_FONT"), font->getImage());
    EXPECT_EQ(3, font->getCharSpacing());
    EXPECT_EQ(9, font->getLineHeight());
    EXPECT_EQ(5, font->getSpaceWidth());
    EXPECT_EQ(4, font->getGlyphWidth('B'));

    Buffer* script = ResourceManager::getScript("SCRIPT_INTRO");
    ASSERT_NE(nullptr, script);
    EXPECT_EQ("hello", std::string(reinterpret_cast<char*>(script->data), script->size));

    EXPECT_EQ(0, ResourceManager::getSound("SOUND_CLICK"));
    EXPECT_GE(playSound("SOUND_CLICK", 200), 0);
    EXPECT_GE(loopSound("SOUND_CLICK", 255), 0);
    ASSERT_EQ(2u, playedSounds().size());
    EXPECT_EQ(0, playedSounds()[0].slot);
    EXPECT_EQ(200, playedSounds()[0].volume);
    EXPECT_EQ(FSOUND_LOOP_NORMAL, playedSounds()[1].loopMode);
}

TEST_F(CatalogueTest, UndefinedIdentifiersYieldNothingAndPlayNothing)
{
    withSound();
    EXPECT_EQ(nullptr, ResourceManager::getImage("IMAGE_NONE"));
    EXPECT_EQ(nullptr, ResourceManager::getMask("MASK_NONE"));
    EXPECT_EQ(nullptr, ResourceManager::getFont("FONT_NONE"));
    EXPECT_EQ(nullptr, ResourceManager::getScript("SCRIPT_NONE"));
    EXPECT_EQ(-1, ResourceManager::getSound("SOUND_NONE"));
    EXPECT_EQ(-1, playSound("SOUND_NONE", 255));
    EXPECT_EQ("ERROR: Sample not found! (-1)\n", newLog());
    EXPECT_TRUE(playedSounds().empty());
}

TEST_F(CatalogueTest, SoundsLookedUpBeforeLoadingDoNotShareASlot)
{
    withSound();
    write("a.wav", testsupport::makeWav(0.05));
    write("b.wav", testsupport::makeWav(0.05));
    parse(R"(<Sound id="SOUND_A">a.wav</Sound><Sound id="SOUND_B">b.wav</Sound>)");
    EXPECT_EQ(-1, ResourceManager::getSound("SOUND_B"));
    EXPECT_EQ(-1, ResourceManager::getSound("SOUND_TYPO"));
    runPass();
    EXPECT_EQ(0, ResourceManager::getSound("SOUND_A"));
    EXPECT_EQ(1, ResourceManager::getSound("SOUND_B"));
    EXPECT_EQ(-1, ResourceManager::getSound("SOUND_TYPO"));
}

TEST_F(CatalogueTest, ALaterLayerReplacesAnEntryOfTheSameIdentifier)
{
    writePng("default.png", 4, 4, 0x112233);
    writePng("english.png", 6, 2, 0x445566);
    writeFontPicture("font_a.png", 2, 3, 5);
    writeFontPicture("font_b.png", 2, 4, 5);
    parse(R"(
<Surface id="IMAGE_TITLE"><Image>default.png</Image></Surface>
<Surface id="IMAGE_OTHER"><Image>default.png</Image></Surface>
<Surface id="IMAGE_FA"><Image>font_a.png</Image></Surface>
<Surface id="IMAGE_FB"><Image>font_b.png</Image></Surface>
<Font id="FONT"><Surface>IMAGE_FA</Surface><Characters>ab</Characters></Font>)");
    parse(R"(
<Surface id="IMAGE_TITLE"><Image>english.png</Image></Surface>
<Font id="FONT"><Surface>IMAGE_FB</Surface><Characters>ab</Characters></Font>)");
    ASSERT_EQ(4, catalogue->getTotal());
    EXPECT_EQ("IMAGE_TITLE", catalogue->getPending().elementAt(0)->getId());
    EXPECT_EQ(1u, catalogue->getDeferred().size());

    runPass();
    EXPECT_EQ(6u, ResourceManager::getImage("IMAGE_TITLE")->getSurface()->getDesc().width);
    EXPECT_EQ(4u, ResourceManager::getImage("IMAGE_OTHER")->getSurface()->getDesc().width);
    EXPECT_EQ(4, ResourceManager::getFont("FONT")->getGlyphWidth('a'));
}

TEST_F(CatalogueTest, AFourStepPassReportsEveryStep)
{
    for (const char* name : {"s1", "s2", "s3", "s4"})
        write(name, name);
    parse(R"(<Script id="S1">s1</Script><Script id="S2">s2</Script>
<Script id="S3">s3</Script><Script id="S4">s4</Script>)");
    catalogue->beginLoading();
    const float percents[] = {25.0f, 50.0f, 75.0f, 100.0f};
    for (int step = 0; step < 4; ++step) {
        EXPECT_EQ(0, catalogue->isDone());
        catalogue->loadStep();
        EXPECT_EQ(percents[step], catalogue->getProgress());
        EXPECT_EQ(5, application->getCursorShape());
    }
    EXPECT_EQ(1, catalogue->isDone());
    const std::vector<std::pair<int, int>> expected = {{0, 4}, {1, 4}, {2, 4}, {3, 4}, {4, 4}};
    EXPECT_EQ(expected, progressEvents());
    EXPECT_NE(nullptr, ResourceManager::getScript("S4"));
}

TEST_F(CatalogueTest, EntriesLoadedAheadAreLeftOutOfThePass)
{
    const char* const ids[] = {"S1", "S2", "S3", "S4"};
    const struct {
        const char* name;
        std::vector<const char*> ahead;
        std::vector<std::string> pending; // in order, after beginLoading
    } cases[] = {
        {"the first", {"S1"}, {"S2", "S3", "S4"}},
        {"a middle one", {"S3"}, {"S1", "S2", "S4"}},
        {"the last", {"S4"}, {"S1", "S2", "S3"}},
        {"the first and the last", {"S1", "S4"}, {"S2", "S3"}},
        {"all but one", {"S1", "S2", "S4"}, {"S3"}},
    };
    for (const char* id : ids)
        write(id, id);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        delete catalogue;
        catalogue = new ResourceManager();
        store->release();
        store = new PropertyManager(catalogue);
        store->addRef();
        dropEvents(*application);
        parse(R"(<Script id="S1">S1</Script><Script id="S2">S2</Script>
<Script id="S3">S3</Script><Script id="S4">S4</Script>)");
        for (const char* id : c.ahead)
            catalogue->loadById(id);

        catalogue->beginLoading();
        const int total = static_cast<int>(c.pending.size());
        ASSERT_EQ(total, catalogue->getTotal());
        std::vector<std::string> pending;
        for (unsigned i = 0; i < catalogue->getPending().size(); ++i)
            pending.push_back(catalogue->getPending().elementAt(i)->getId());
        EXPECT_EQ(c.pending, pending);

        std::vector<std::pair<int, int>> events;
        for (int step = 1; step <= total; ++step) {
            EXPECT_EQ(0, catalogue->isDone());
            catalogue->loadStep();
            EXPECT_FLOAT_EQ(100.0f * static_cast<float>(step) / static_cast<float>(total), catalogue->getProgress());
            if (step == 1)
                events.emplace_back(0, total);
            events.emplace_back(step, total);
            EXPECT_EQ(events, progressEvents()) << "after step " << step;
            EXPECT_NE(nullptr, ResourceManager::getScript(c.pending[static_cast<std::size_t>(step - 1)]));
        }
        EXPECT_EQ(1, catalogue->isDone());
        for (const char* id : ids)
            EXPECT_NE(nullptr, ResourceManager::getScript(id)) << id;
    }
}

TEST_F(CatalogueTest, AnEmptyPassIsCompleteWhenItBegins)
{
    writeFontPicture("font.png", 1, 3, 4);
    parse(R"(<Surface id="F"><Image>font.png</Image></Surface>)");
    runPass();
    dropEvents(*application);
    // A pass with only a deferred font: nothing is pending, so beginning it ends it.
    parse(R"(<Font id="FONT"><Surface>F</Surface><Characters>a</Characters></Font>)");
    ASSERT_EQ(1u, catalogue->getDeferred().size());
    catalogue->beginLoading();
    EXPECT_EQ(0, catalogue->getTotal());
    EXPECT_EQ(1, catalogue->isDone());
    EXPECT_EQ(100.0f, catalogue->getProgress());
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 0}}), progressEvents());
    EXPECT_NE(nullptr, ResourceManager::getFont("FONT"));
    EXPECT_EQ(0u, catalogue->getDeferred().size());

    // A step after that changes nothing: no event, no wait cursor, the same state.
    application->setCursorShape(0);
    catalogue->loadStep();
    EXPECT_EQ(1, catalogue->isDone());
    EXPECT_EQ(100.0f, catalogue->getProgress());
    EXPECT_EQ((std::vector<std::pair<int, int>>{{0, 0}}), progressEvents());
    EXPECT_EQ(0, application->getCursorShape());
}

TEST_F(CatalogueTest, AnEmptyPassEndsInItsDeferredFontsError)
{
    parse(R"(<Font id="FONT"><Surface>IMAGE_NONE</Surface><Characters>a</Characters></Font>)");
    // The deferred font names nothing; the empty pass still ends, and ends in the font's error.
    EXPECT_EQ("NO SURFACE AVAILABLE\n", errorOf([&] { catalogue->beginLoading(); }));
    EXPECT_EQ(1, catalogue->isDone());
    EXPECT_EQ(100.0f, catalogue->getProgress());
}

TEST_F(CatalogueTest, AScriptThatCannotBeReadDoesNotHoldUpTheEntriesBehindIt)
{
    write("s2", "two");
    write("s3", "three");
    parse(R"(<Script id="S1">missing</Script><Script id="S2">s2</Script><Script id="S3">s3</Script>)");
    EXPECT_EQ(3, runPass());
    EXPECT_EQ(nullptr, ResourceManager::getScript("S1"));
    EXPECT_NE(nullptr, ResourceManager::getScript("S2"));
    EXPECT_NE(nullptr, ResourceManager::getScript("S3"));
    EXPECT_NE(std::string::npos, newLog().find("missing"));
}

TEST_F(CatalogueTest, OnlyTheThreeMemoryTypesAreAccepted)
{
    writePng("p.png", 2, 2, 0xFFFFFF);
    const struct {
        const char* mem;
        bool accepted;
        std::uint32_t memoryType;
    } cases[] = {{"video", true, 2}, {"system", true, 1}, {"", true, 1},
                 {"System", false, 0}, {"VIDEO", false, 0}, {"agp", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mem);
        auto* descriptor = new ImageDescriptor("IMAGE_P");
        descriptor->imageFile = "p.png";
        descriptor->memoryType = c.mem;
        descriptor->addRef();
        std::string error = errorOf([&] { descriptor->load(nullptr); });
        descriptor->release();
        if (c.accepted) {
            EXPECT_EQ("", error);
            EXPECT_EQ(c.memoryType, ResourceManager::getImage("IMAGE_P")->getSurface()->getDesc().memoryType);
        } else {
            EXPECT_EQ("ERROR: Invalid memory type\n", error);
        }
    }
}

TEST_F(CatalogueTest, AMissingOrBrokenPictureEndsInTheImageError)
{
    writePng("good.png", 2, 2, 0);
    write("broken.png", "\x89PNG\r\n\x1a\nthis is not a picture");
    const struct {
        const char* image;
        const char* mask;
        const char* error;
    } cases[] = {
        {"images\\none.png", "", "ERROR - Could not load image: images\\none.png.\n"},
        {"broken.png", "", "ERROR - Could not load image: broken.png.\n"},
        {"good.png", "masks\\none.png", "ERROR - Could not load image: masks\\none.png.\n"},
        {"good.png", "broken.png", "ERROR - Could not load image: broken.png.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.image + std::string(" ") + c.mask);
        delete catalogue;
        catalogue = new ResourceManager();
        store->release();
        store = new PropertyManager(catalogue);
        store->addRef();
        parse(std::string("<Surface id=\"IMAGE_X\"><Image>") + c.image + "</Image><Mask>" + c.mask +
              "</Mask></Surface>");
        EXPECT_EQ(c.error, errorOf([&] { runPass(); }));
        EXPECT_EQ(nullptr, ResourceManager::getImage("IMAGE_X"));
    }
}

TEST_F(CatalogueTest, SurfacesWithoutInnerIdentifiersAreNamedAfterTheEntry)
{
    writePng("x.png", 2, 2, 0);
    writeGreyBmp("x_mask.bmp", 4, 2, 0xFF);
    parse(R"(<Surface id="X"><Image>x.png</Image><Mask>x_mask.bmp</Mask></Surface>)");
    runPass();
    SurfaceHolder* holder = ResourceManager::getImage("X");
    ASSERT_NE(nullptr, holder);
    EXPECT_EQ("X_IMAGE", holder->getSurface()->getName());
    EXPECT_EQ("X_MASK", holder->getMask()->getName());
    EXPECT_EQ(holder->getMask(), ResourceManager::getMask(""));
}

TEST_F(CatalogueTest, TheAdvertisementEntryShowsTheStartUpPictureOrTheLogo)
{
    write("logo.jpg", testsupport::encodeJpeg(3, 3, 3, testsupport::naturalRgb(3, 3)));
    writePng("ads\\start.png", 5, 5, 0);
    parse(R"(<Surface id="IMAGE_AD"><Image>extra_ad</Image></Surface>)");
    runPass();
    EXPECT_EQ(3u, ResourceManager::getImage("IMAGE_AD")->getSurface()->getDesc().width);

    setStartupAdvertImage("ads\\start.png");
    catalogue->loadById("IMAGE_AD");
    parse(R"(<Surface id="IMAGE_AD"><Image>extra_ad</Image></Surface>)");
    runPass();
    EXPECT_EQ(5u, ResourceManager::getImage("IMAGE_AD")->getSurface()->getDesc().width);
}

TEST_F(CatalogueTest, ALostDisplayIsRepairedFromTheLoadedSources)
{
    writePng("p.png", 4, 4, 0x00FF00);
    writeGreyBmp("m.bmp", 4, 4, 0x10);
    writeFontPicture("f.png", 1, 4, 4);
    parse(R"(<Surface id="P"><Image>p.png</Image><Mask>m.bmp</Mask></Surface>
<Surface id="F"><Image>f.png</Image></Surface>
<Font id="FONT"><Surface>F</Surface><Characters>a</Characters></Font>)");
    runPass();
    Surface* picture = ResourceManager::getImage("P")->getSurface();

    compat::testing::loseAllSurfaces();
    EXPECT_NE(S_OK, picture->lock());
    frame::advance();
    catalogue->check();
    picture = ResourceManager::getImage("P")->getSurface();
    ASSERT_EQ(S_OK, picture->lock());
    picture->unlock();
    EXPECT_EQ(0x00FF00u, peek(picture, 3, 3) & 0xFFFFFF);
    EXPECT_EQ(4, ResourceManager::getFont("FONT")->getGlyphWidth('a'));
}

} // namespace

namespace {

TEST(CatalogueInstance, ANewCatalogueTakesOverFromTheCurrentOne)
{
    delete ResourceManager::instance();
    auto* first = new ResourceManager();
    EXPECT_EQ(first, ResourceManager::instance());
    auto* second = new ResourceManager(); // deletes the first
    EXPECT_EQ(second, ResourceManager::instance());
    {
        ResourceManager local; // deletes the second
        EXPECT_EQ(&local, ResourceManager::instance());
        ResourceManager inner; // cannot delete one that was not made with new
        EXPECT_EQ(&inner, ResourceManager::instance());
    }
    EXPECT_EQ(nullptr, ResourceManager::instance());
    EXPECT_EQ(nullptr, ResourceManager::getImage("IMAGE_ANY"));
    EXPECT_EQ(-1, ResourceManager::getSound("SOUND_ANY"));
}

} // namespace
