// The staged data set loads the way the game loads it: the property files through the property store,
// both layout documents, every picture, mask and font of the resource entries, every sound.
#include "assets/DataSet.h"

#include "platform/font/BitmapFont.h"
#include "platform/surface/ImageLoader.h"
#include "platform/surface/SurfaceHolder.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "runtime/GameException.h"

#include <gtest/gtest.h>

#include <cstring>

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

class DataSetPictures : public DisplayTest {
protected:
    // The picture of a Surface entry with its mask, as the catalogue builds it; null on failure.
    SurfaceHolder* load(const ResourceEntry& entry)
    {
        SurfaceDesc desc = sourceImageDesc();
        DirectDrawSurface* image = decodeImageFromFile(dd, inRunDir(entry.image).string(), desc);
        if (image == nullptr)
            return nullptr;
        auto* holder = new SurfaceHolder;
        holder->addRef();
        holder->setSurface(image);
        if (!entry.mask.empty()) {
            MemorySurface* mask = decodeMaskFromFile(dd, inRunDir(entry.mask).string());
            if (mask == nullptr) {
                holder->release();
                return nullptr;
            }
            EXPECT_EQ(mask->getDesc().width, image->getDesc().width) << entry.id;
            EXPECT_EQ(mask->getDesc().height, image->getDesc().height) << entry.id;
            holder->setMask(mask);
            holder->getOptions()->flags |= BlitOptions::BlendMask;
        }
        return holder;
    }
};

TEST_F(DataSetPictures, EveryPictureAndMaskDecodes)
{
    int pictures = 0;
    for (const ResourceEntry& entry : loaded().resources()) {
        if (entry.kind == "Surface") {
            EXPECT_EQ(fileProblem(entry.image), "") << entry.id;
            if (!entry.mask.empty()) {
                EXPECT_EQ(fileProblem(entry.mask), "") << entry.id;
            }
            SurfaceHolder* holder = load(entry);
            EXPECT_NE(holder, nullptr) << entry.id << " does not decode";
            if (holder != nullptr)
                holder->release();
            ++pictures;
        } else if (entry.kind == "Mask") {
            EXPECT_EQ(fileProblem(entry.file), "") << entry.id;
            MemorySurface* mask = decodeMaskFromFile(dd, inRunDir(entry.file).string());
            EXPECT_NE(mask, nullptr) << entry.id << " does not decode";
            if (mask != nullptr) {
                mask->addRef();
                mask->release();
            }
        }
    }
    EXPECT_GT(pictures, 0);
    // The start-up picture that stands in for an advertisement, and the window icon.
    for (const char* file : {"logo.jpg", "icon.png"}) {
        SurfaceDesc desc = sourceImageDesc();
        DirectDrawSurface* surface = decodeImageFromFile(dd, inRunDir(file).string(), desc);
        ASSERT_NE(surface, nullptr) << file;
        surface->addRef();
        surface->release();
    }
}

// Every font's picture scans into one glyph per character of its list, in order: a glyph split in
// two or a character missing from the picture would shift every glyph after it, so wide characters
// would come out narrower than narrow ones.
TEST_F(DataSetPictures, FontsScanToTheirCharacterLists)
{
    std::map<std::string, ResourceEntry> surfaces;
    for (const ResourceEntry& entry : loaded().resources())
        if (entry.kind == "Surface")
            surfaces[entry.id] = entry;
    int fonts = 0;
    for (const ResourceEntry& entry : loaded().resources()) {
        if (entry.kind != "Font")
            continue;
        ++fonts;
        ASSERT_EQ(surfaces.count(entry.surface), 1u) << entry.id << " names no Surface entry " << entry.surface;
        SurfaceHolder* holder = load(surfaces[entry.surface]);
        ASSERT_NE(holder, nullptr) << entry.id;
        auto* font = new BitmapFont(holder, entry.characters);
        font->addRef();
        EXPECT_GT(font->getLineHeight(), 0) << entry.id;
        for (unsigned char c : entry.characters)
            EXPECT_GT(font->getGlyphWidth(c), 0) << entry.id << " has no glyph for '" << c << "'";
        const char* widerThan[][2] = {{"m", "i"}, {"W", "I"}, {"@", "."}, {"M", "l"}, {"w", "j"}};
        for (auto& pair : widerThan)
            if (entry.characters.find(pair[0][0]) != std::string::npos &&
                entry.characters.find(pair[1][0]) != std::string::npos) {
                EXPECT_GT(font->getGlyphWidth(pair[0][0]), font->getGlyphWidth(pair[1][0]))
                    << entry.id << ": '" << pair[0] << "' against '" << pair[1] << "'";
            }
        font->release();
        holder->release();
    }
    EXPECT_GT(fonts, 0);
}

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
    if (data == std::string::npos || le(bytes, data + 4, 4) == 0)
        return gamePath + " holds no samples";
    return std::string();
}

} // namespace

TEST(DataSetLoad, EverySoundAndScriptFileIsThere)
{
    int sounds = 0;
    for (const ResourceEntry& entry : loaded().resources())
        if (entry.kind == "Sound") {
            EXPECT_EQ(soundProblem(entry.file), "") << entry.id;
            ++sounds;
        } else if (entry.kind == "Script") {
            EXPECT_EQ(fileProblem(entry.file), "") << entry.id;
        }
    EXPECT_GT(sounds, 0);
    // Music is named by String properties "STRING_MUSIC_...".
    for (const char* id : {"STRING_MUSIC_SELECTIONSCREEN", "STRING_MUSIC_INGAME"})
        if (loaded().properties().hasString(id)) {
            EXPECT_EQ(soundProblem(loaded().properties().getString(id)), "") << id;
        }
}
