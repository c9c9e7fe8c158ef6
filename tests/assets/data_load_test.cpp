// The staged data set loads the way the game loads it: the property files through the property store,
// both layout documents through the layout loader, every resource entry through the resource catalogue
// (pictures, masks, fonts, sounds into the sound library), and the music as a stream.
#include "assets/DataSet.h"

#include "compat/fmod/fmod.h"
#include "compat/fmod/testing.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/font/BitmapFont.h"
#include "platform/sound/SoundManager.h"
#include "platform/surface/ImageLoader.h"
#include "platform/surface/MemorySurface.h"
#include "platform/surface/SurfaceHolder.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "resources/layout/LayoutDocument.h"
#include "runtime/GameException.h"
#include "support/LendingApplication.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

using namespace dataset;

namespace {

std::string fileProblem(const std::string& gamePath)
{
    if (gamePath.empty())
        return "empty file name";
    if (!std::filesystem::is_regular_file(inRunDir(gamePath)))
        return "missing file " + gamePath;
    return std::string();
}

} // namespace

namespace {

std::uint32_t le(const std::string& bytes, size_t at, int size)
{
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// What is wrong with a sound file, empty when it is a PCM WAV file or an Ogg stream with sound.
std::string soundProblem(const std::string& gamePath)
{
    std::string problem = fileProblem(gamePath);
    if (!problem.empty())
        return problem;
    std::string bytes = readFile(inRunDir(gamePath));
    if (bytes.compare(0, 4, "OggS") == 0)
        return bytes.size() > 4096 ? "" : gamePath + " is too short to hold sound";
    if (bytes.size() < 44 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return gamePath + " is neither WAV nor Ogg";
    if (le(bytes, 20, 2) != 1 || le(bytes, 34, 2) != 16)
        return gamePath + " is not 16-bit PCM";
    size_t data = bytes.find("data", 12);
    if (data == std::string::npos || data + 8 > bytes.size() || le(bytes, data + 4, 4) == 0)
        return gamePath + " holds no samples";
    if (data + 8 + le(bytes, data + 4, 4) > bytes.size())
        return gamePath + " is cut short";
    return std::string();
}

} // namespace

TEST(DataSetLoad, PropertyFilesAndLayoutDocumentsLoad)
{
    EXPECT_EQ(loaded().errors(), "");
    ASSERT_FALSE(propertyFiles().empty());
    // Each property file also parses on its own (the language and look files are only read when a
    // player chooses their language).
    for (const auto& path : propertyFiles()) {
        auto* store = new PropertyManager(nullptr);
        store->addRef();
        std::string text = readFile(path);
        std::string error;
        try {
            if (store->parse(text.c_str()) == 0)
                error = "a String entry runs into the end of the file";
        } catch (const GameTextException& e) {
            error = e.getText();
        }
        store->release();
        EXPECT_EQ(error, "") << path;
    }
}

// The checks list layout entries by kind from their own reading of the documents; it must agree with
// what the game's loader made of them.
TEST(DataSetLoad, LayoutEntriesAgreeWithTheGamesLoader)
{
    const LayoutEntries& layout = loaded().layout();
    EXPECT_FALSE(layout.strings.empty());
    for (const auto& [id, text] : layout.strings)
        EXPECT_EQ(getResourceString(id), text) << id;
    for (const auto& [id, value] : layout.integers)
        EXPECT_EQ(getResourceInt(id), value) << id;
    for (const auto& [id, items] : layout.stringLists)
        EXPECT_EQ(getResourceList(id), items) << id;
    for (const auto& [id, items] : layout.integerLists)
        EXPECT_EQ(getResourceVector(id), items) << id;
    for (const std::string& id : layout.templates)
        EXPECT_NE(LayoutDocument::peekLayoutElement(id), nullptr) << id;
}

class DataSetCatalogue : public DisplayTest {
protected:
    void SetUp() override
    {
        // No display and no sound card: SDL's dummy drivers still decode every sound (CTest passes only
        // the first variable of a test's environment list through gtest discovery, so they are set here).
        setenv("QUARRYTIDE_HOST", "headless", 0);
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        DisplayTest::SetUp();
        ASSERT_EQ(loaded().errors(), ""); // before this test's catalogue: loading makes one of its own
        ResourceManager::setDirectDraw(dd);
        compat::testing::setAudioAvailable(true);
        setStartupAdvertImage("");
        application = std::make_unique<LendingApplication>("QuarrytideDataSetTest");
        sound = std::make_unique<SoundManager>(0, 44100, 32);
        application->useSoundManager(sound.get());
        previous = std::filesystem::current_path();
        std::filesystem::current_path(runDir());
        catalogue = new ResourceManager();
        store = new PropertyManager(catalogue);
        store->addRef();
    }
    void TearDown() override
    {
        store->release();
        delete ResourceManager::instance();
        application.reset();
        sound.reset();
        ResourceManager::setDirectDraw(nullptr);
        std::filesystem::current_path(previous);
        DisplayTest::TearDown();
    }

    // The load screen's pass over every entry; the error text, empty when everything loaded.
    std::string loadEverything()
    {
        try {
            store->loadProperties(nullptr, "properties\\", "en", "US", "NORMAL");
            catalogue->beginLoading();
            for (int step = 0; step < 100000 && catalogue->getTotal() > 0 && !catalogue->isDone(); ++step)
                catalogue->loadStep();
            if (catalogue->getTotal() > 0 && !catalogue->isDone())
                return "the loading pass does not end";
        } catch (const GameTextException& error) {
            return error.getText();
        }
        return std::string();
    }

    std::unique_ptr<LendingApplication> application;
    std::unique_ptr<SoundManager> sound;
    std::filesystem::path previous;
    ResourceManager* catalogue = nullptr;
    PropertyManager* store = nullptr;
};

TEST_F(DataSetCatalogue, EveryResourceEntryLoads)
{
    ASSERT_EQ(loadEverything(), "");
    int entries = 0;
    for (const ResourceEntry& entry : loaded().resources()) {
        ++entries;
        if (entry.kind == "Surface") {
            SurfaceHolder* holder = ResourceManager::getImage(entry.id);
            ASSERT_NE(holder, nullptr) << entry.id;
            EXPECT_NE(holder->getSurface(), nullptr) << entry.id;
            if (!entry.mask.empty()) {
                ASSERT_NE(holder->getMask(), nullptr) << entry.id;
                EXPECT_EQ(holder->getMask()->getDesc().width, holder->getSurface()->getDesc().width) << entry.id;
                EXPECT_EQ(holder->getMask()->getDesc().height, holder->getSurface()->getDesc().height) << entry.id;
            }
        } else if (entry.kind == "Mask") {
            EXPECT_NE(ResourceManager::getMask(entry.id), nullptr) << entry.id;
        } else if (entry.kind == "Font") {
            EXPECT_NE(ResourceManager::getFont(entry.id), nullptr) << entry.id;
        } else if (entry.kind == "Script") {
            EXPECT_NE(ResourceManager::getScript(entry.id), nullptr) << entry.id;
        } else if (entry.kind == "Sound") {
            EXPECT_EQ(soundProblem(entry.file), "") << entry.id;
            int slot = ResourceManager::getSound(entry.id);
            EXPECT_NE(FSOUND_Sample_Get(slot), nullptr) << entry.id << ": the sound library did not take "
                                                           << entry.file;
        }
    }
    EXPECT_GT(entries, 0);

    // The window icon is a picture beside the data, not a resource entry.
    SurfaceDesc desc = sourceImageDesc();
    DirectDrawSurface* icon = decodeImageFromFile(dd, inRunDir("icon.png").string(), desc);
    ASSERT_NE(icon, nullptr);
    icon->addRef();
    icon->release();

    // So is the update dialog's logo, which must fit the dialog's slot beside the title (at most
    // 120 x 90 pixels): a larger one is drawn over the title and the text below it.
    desc = sourceImageDesc();
    DirectDrawSurface* logo =
        decodeImageFromFile(dd, inRunDir(loaded().properties().getString("RES_GAME_LOGO")).string(), desc);
    ASSERT_NE(logo, nullptr);
    EXPECT_LE(desc.width, 120u);
    EXPECT_LE(desc.height, 90u);
    logo->addRef();
    logo->release();
}

// Every font's picture scans into one glyph per character of its list, in order: a glyph split in
// two or a character missing from the picture would shift every glyph after it, so wide characters
// would come out narrower than narrow ones.
TEST_F(DataSetCatalogue, FontsScanToTheirCharacterLists)
{
    ASSERT_EQ(loadEverything(), "");
    int fonts = 0;
    for (const ResourceEntry& entry : loaded().resources()) {
        if (entry.kind != "Font")
            continue;
        ++fonts;
        BitmapFont* font = ResourceManager::getFont(entry.id);
        ASSERT_NE(font, nullptr) << entry.id;
        EXPECT_GT(font->getLineHeight(), 0) << entry.id;
        EXPECT_GT(font->getSpaceWidth(), 0) << entry.id;
        for (unsigned char c : entry.characters)
            EXPECT_GT(font->getGlyphWidth(c), 0) << entry.id << " has no glyph for '" << c << "'";
        const char* widerThan[][2] = {{"m", "i"}, {"W", "I"}, {"@", "."}, {"M", "l"}, {"w", "j"}};
        for (auto& pair : widerThan)
            if (entry.characters.find(pair[0][0]) != std::string::npos &&
                entry.characters.find(pair[1][0]) != std::string::npos) {
                EXPECT_GT(font->getGlyphWidth(pair[0][0]), font->getGlyphWidth(pair[1][0]))
                    << entry.id << ": '" << pair[0] << "' against '" << pair[1] << "'";
            }
    }
    EXPECT_GT(fonts, 0);
}

// Music is named by the String properties "STRING_MUSIC_..." and played as a looping stream.
// The progress bar is drawn only as far as loading has come; the load screen shows the groove it
// fills, so the player sees how far it still has to go. Along the bar's whole length, the picture
// under the bar's middle stands out from the strip just above the groove.
TEST_F(DataSetCatalogue, LoadScreenShowsTheGrooveTheBarFills)
{
    ASSERT_EQ(loadEverything(), "");
    SurfaceHolder* screen = ResourceManager::getImage("IMAGE_LOADSCREEN");
    SurfaceHolder* bar = ResourceManager::getImage("IMAGE_LOADBAR");
    ASSERT_TRUE(screen != nullptr && screen->getSurface() != nullptr && bar != nullptr && bar->getSurface() != nullptr);
    Surface* picture = screen->getSurface();
    const PointValue& at = loaded().properties().getPoint("POINT_LOADINGBAR");
    const int width = static_cast<int>(bar->getSurface()->getDesc().width);
    const int height = static_cast<int>(bar->getSurface()->getDesc().height);
    auto colour = [&](int x, int y) {
        std::uint32_t pixel = Surface::getPixel(picture, x, y);
        return picture->getDesc().format.unpackPixel(&pixel);
    };
    auto difference = [](std::uint32_t a, std::uint32_t b) {
        int sum = 0;
        for (int shift : {0, 8, 16})
            sum += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
        return sum;
    };
    int flat = 0;
    for (int x = at.x; x < at.x + width; ++x)
        if (difference(colour(x, at.y + height / 2), colour(x, at.y - 6)) < 24)
            ++flat;
    EXPECT_EQ(flat, 0) << "columns of the bar's place with no groove under them";
}

TEST_F(DataSetCatalogue, MusicStreamsOpen)
{
    int pieces = 0;
    for (const char* id : {"STRING_MUSIC_SELECTIONSCREEN", "STRING_MUSIC_INGAME"}) {
        if (!loaded().properties().hasString(id))
            continue;
        ++pieces;
        const std::string& file = loaded().properties().getString(id);
        EXPECT_EQ(soundProblem(file), "") << id;
        EXPECT_TRUE(sound->playMusic(file, 306)) << id << ": " << file;
        sound->stopMusic();
    }
    EXPECT_GT(pieces, 0);
}

// The treasure chest opens over the title and over a game and covers the whole screen: every pixel of
// both chest pictures is opaque, so nothing of the screen below shows between its tabs and buttons.
TEST_F(DataSetCatalogue, TheTreasureChestCoversTheWholeScreen)
{
    ASSERT_EQ(loadEverything(), "");
    for (const char* id : {"IMAGE_DIALOG_TREASURE_BOX_GEMSTONES", "IMAGE_DIALOG_TREASURE_BOX_ANTIQUITIES"}) {
        SurfaceHolder* box = ResourceManager::getImage(id);
        ASSERT_TRUE(box != nullptr && box->getSurface() != nullptr) << id;
        EXPECT_EQ(box->getSurface()->getDesc().width, 640u) << id;
        EXPECT_EQ(box->getSurface()->getDesc().height, 480u) << id;
        MemorySurface* mask = box->getMask();
        if (mask == nullptr)
            continue; // no mask: drawn opaque
        const auto* bytes = static_cast<const std::uint8_t*>(mask->pixels());
        ASSERT_NE(bytes, nullptr) << id;
        const int pitch = mask->getDesc().pitch > 0 ? mask->getDesc().pitch : static_cast<int>(mask->getDesc().width);
        int seeThrough = 0;
        for (int y = 0; y < static_cast<int>(mask->getDesc().height); ++y)
            for (int x = 0; x < static_cast<int>(mask->getDesc().width); ++x)
                seeThrough += bytes[y * pitch + x] < 255 ? 1 : 0;
        EXPECT_EQ(seeThrough, 0) << id;
    }
}
