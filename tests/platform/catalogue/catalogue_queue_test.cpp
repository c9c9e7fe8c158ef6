// The entries the property readers queue become descriptors of their kind with every field carried
// over: fonts deferred, the rest pending, a later entry replacing one of the same identifier.
#include "platform/catalogue/ResourceDescriptor.h"
#include "platform/catalogue/ResourceManager.h"

#include <gtest/gtest.h>

namespace {

ResourceRecord entry(ResourceRecord::Kind kind, const std::string& id, int tag, const std::string& fileName = "")
{
    ResourceRecord made;
    made.kind = kind;
    made.id = id;
    made.tag = tag;
    made.fileName = fileName;
    return made;
}

TEST(CatalogueQueue, EntriesBecomeDescriptorsOfTheirKind)
{
    ResourceManager catalogue;
    ResourceRecord surface = entry(ResourceRecord::Surface, "IMAGE_A", 7);
    surface.imageId = "A_PIC";
    surface.imageFile = "images\\a.png";
    surface.memoryType = "video";
    surface.maskId = "A_MASK";
    surface.maskFile = "images\\a_mask.bmp";
    ResourceRecord font = entry(ResourceRecord::Font, "FONT_A", 1);
    font.charSpace = 2;
    font.lineSpace = 14;
    font.spaceWidth = 6;
    font.color = 0x40C0;
    font.surfaceId = "IMAGE_FONT";
    font.characters = "abc";
    font.baseline = 10;
    font.baselineCharHeight = 12;
    font.baselineGiven = 1;
    font.chineseFont = 1;
    font.charWidth = 16;
    font.charHeight = 13;
    font.compressed = 1;
    font.characterFile = "fonts\\a.txt";
    for (const ResourceRecord& queued : {surface, font, entry(ResourceRecord::Mask, "MASK_A", 2, "m.bmp"),
                                         entry(ResourceRecord::Sound, "SOUND_A", 3, "s.wav"),
                                         entry(ResourceRecord::Script, "SCRIPT_A", 4, "t.txt")})
        catalogue.queueResource(queued);

    ASSERT_EQ(4u, catalogue.getPending().size());
    EXPECT_EQ(4, catalogue.getTotal());
    auto* image = dynamic_cast<ImageDescriptor*>(catalogue.getPending().elementAt(0));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ("IMAGE_A", image->getId());
    EXPECT_EQ(7, image->getTag());
    EXPECT_EQ("A_PIC", image->imageId);
    EXPECT_EQ("images\\a.png", image->imageFile);
    EXPECT_EQ("video", image->memoryType);
    EXPECT_EQ("A_MASK", image->maskId);
    EXPECT_EQ("images\\a_mask.bmp", image->maskFile);

    ResourceDescriptor* mask = catalogue.getPending().elementAt(1);
    ResourceDescriptor* sound = catalogue.getPending().elementAt(2);
    ResourceDescriptor* script = catalogue.getPending().elementAt(3);
    EXPECT_NE(nullptr, dynamic_cast<MaskDescriptor*>(mask));
    EXPECT_NE(nullptr, dynamic_cast<SoundDescriptor*>(sound));
    EXPECT_NE(nullptr, dynamic_cast<ScriptDescriptor*>(script));
    const struct {
        ResourceDescriptor* descriptor;
        const char* id;
        int tag;
        const char* file;
    } files[] = {{mask, "MASK_A", 2, "m.bmp"}, {sound, "SOUND_A", 3, "s.wav"}, {script, "SCRIPT_A", 4, "t.txt"}};
    for (const auto& f : files) {
        ResourceDescriptor* d = f.descriptor;
        SCOPED_TRACE(f.id);
        EXPECT_EQ(f.id, d->getId());
        EXPECT_EQ(f.tag, d->getTag());
        EXPECT_EQ(f.file, d->getFileName());
    }

    ASSERT_EQ(1u, catalogue.getDeferred().size());
    auto* deferred = dynamic_cast<FontDescriptor*>(catalogue.getDeferred().elementAt(0));
    ASSERT_NE(nullptr, deferred);
    EXPECT_EQ(1, deferred->getTag());
    EXPECT_EQ(2, deferred->charSpace);
    EXPECT_EQ(14, deferred->lineSpace);
    EXPECT_EQ(6, deferred->spaceWidth);
    EXPECT_EQ(0x40C0, deferred->color);
    EXPECT_EQ("IMAGE_FONT", deferred->surfaceId);
    EXPECT_EQ("abc", deferred->characters);
    EXPECT_EQ(10, deferred->baseline);
    EXPECT_EQ(12, deferred->baselineCharHeight);
    EXPECT_EQ(1, deferred->baselineGiven);
    EXPECT_EQ(1, deferred->chineseFont);
    EXPECT_EQ(16, deferred->charWidth);
    EXPECT_EQ(13, deferred->charHeight);
    EXPECT_EQ(1, deferred->compressed);
    EXPECT_EQ("fonts\\a.txt", deferred->characterFile);

    // A later layer's entry of the same identifier takes the earlier one's place.
    catalogue.queueResource(entry(ResourceRecord::Sound, "MASK_A", 9, "other.wav"));
    ASSERT_EQ(4u, catalogue.getPending().size());
    EXPECT_NE(nullptr, dynamic_cast<SoundDescriptor*>(catalogue.getPending().elementAt(1)));
    EXPECT_EQ("other.wav", catalogue.getPending().elementAt(1)->getFileName());
}

} // namespace
