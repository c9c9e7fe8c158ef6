// The resource entries of the property files are handed to the resource queue, with every attribute
// and child read; their syntax errors end the read.
#include "resources/properties/PropertyManager.h"
#include "resources/properties/ResourceQueue.h"
#include "runtime/GameException.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Keeps every entry in the order handed over.
struct RecordingQueue : ResourceQueue {
    void queueResource(const ResourceRecord& entry) override { entries.push_back(entry); }
    std::vector<ResourceRecord> entries;
};

class ResourceEntries : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = new PropertyManager(&queue);
        store->addRef();
    }
    void TearDown() override { store->release(); }

    static std::string document(const std::string& body)
    {
        return std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
               PropertyManager::kSchemaLocation +
               "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n" + body +
               "\n</Properties>\n";
    }
    std::string parseError(const std::string& body)
    {
        try {
            store->parse(document(body).c_str());
        } catch (const GameTextException& e) {
            return e.getText();
        }
        return "";
    }
    const std::vector<ResourceRecord>& entries() const { return queue.entries; }

    RecordingQueue queue;
    PropertyManager* store = nullptr;
};

TEST_F(ResourceEntries, FileEntriesKeepTheirTextExactly)
{
    ASSERT_EQ("", parseError(R"(
<Sound id="SOUND_DIG" tag="3">sounds\dig.wav</Sound>
<Mask id="MASK_EMPTY"></Mask>
<Script id="SCRIPT_PAD" tag="x"> intro script.txt </Script>)"));
    ASSERT_EQ(3u, entries().size());
    const ResourceRecord& sound = entries()[0];
    EXPECT_EQ(ResourceRecord::Sound, sound.kind);
    EXPECT_EQ("SOUND_DIG", sound.id);
    EXPECT_EQ(3, sound.tag);
    EXPECT_EQ("sounds\\dig.wav", sound.fileName);
    const ResourceRecord& mask = entries()[1];
    EXPECT_EQ(ResourceRecord::Mask, mask.kind);
    EXPECT_EQ("", mask.fileName);
    const ResourceRecord& script = entries()[2];
    EXPECT_EQ(ResourceRecord::Script, script.kind);
    EXPECT_EQ(0, script.tag);
    EXPECT_EQ(" intro script.txt ", script.fileName);
}

TEST_F(ResourceEntries, SurfaceEntriesReadTheirImageAndMaskChildren)
{
    ASSERT_EQ("", parseError(R"(
<Surface id="IMAGE_A" tag="7">
  <Image id="A_PIC" mem="video">images\a.png</Image>
  <Mask>images\a_mask.bmp</Mask>
</Surface>
<Surface id="IMAGE_B">
  <Image mem="system">first.png</Image>
  <Image id="B_PIC">second.png</Image>
</Surface>)"));
    ASSERT_EQ(2u, entries().size());
    const ResourceRecord* a = &entries()[0];
    EXPECT_EQ(ResourceRecord::Surface, a->kind);
    EXPECT_EQ("IMAGE_A", a->id);
    EXPECT_EQ(7, a->tag);
    EXPECT_EQ("A_PIC", a->imageId);
    EXPECT_EQ("images\\a.png", a->imageFile);
    EXPECT_EQ("video", a->memoryType);
    EXPECT_EQ("", a->maskId);
    EXPECT_EQ("images\\a_mask.bmp", a->maskFile);
    const ResourceRecord* b = &entries()[1];
    EXPECT_EQ("second.png", b->imageFile);
    EXPECT_EQ("B_PIC", b->imageId);
    EXPECT_EQ("system", b->memoryType);
}

TEST_F(ResourceEntries, FontEntriesReadEveryAttributeAndChild)
{
    ASSERT_EQ("", parseError(R"(
<Font id="FONT_A" tag="1" charspace="2" linespace="14" spacewidth="6" color="FF8040C0" baseline="10" charheight="12" chinesefont="1" charwidth="16" compressed="1">
  <Characters>abc</Characters><Surface>IMAGE_FONT</Surface><Comfile>fonts\a.txt</Comfile>
</Font>
<Font id="FONT_B" baseline="10" compressed="1"><Surface>S</Surface></Font>
<Font id="FONT_C" charheight="9"></Font>)"));
    ASSERT_EQ(3u, entries().size());

    const ResourceRecord* a = &entries()[0];
    EXPECT_EQ(ResourceRecord::Font, a->kind);
    EXPECT_EQ(1, a->tag);
    EXPECT_EQ(2, a->charSpace);
    EXPECT_EQ(14, a->lineSpace);
    EXPECT_EQ(6, a->spaceWidth);
    EXPECT_EQ(static_cast<int>(0xFF8040C0u), a->color);
    EXPECT_EQ("IMAGE_FONT", a->surfaceId);
    EXPECT_EQ("abc", a->characters);
    EXPECT_EQ(10, a->baseline);
    EXPECT_EQ(12, a->baselineCharHeight);
    EXPECT_EQ(1, a->baselineGiven);
    EXPECT_EQ(1, a->chineseFont);
    EXPECT_EQ(16, a->charWidth);
    EXPECT_EQ(12, a->charHeight);
    EXPECT_EQ(1, a->compressed);
    EXPECT_EQ("fonts\\a.txt", a->characterFile);

    const ResourceRecord* b = &entries()[1];
    EXPECT_EQ(10, b->baseline);
    EXPECT_EQ(0, b->baselineCharHeight);
    EXPECT_EQ(1, b->baselineGiven);
    EXPECT_EQ(0, b->compressed); // no character file named

    const ResourceRecord* c = &entries()[2];
    EXPECT_EQ(0, c->baselineGiven);
    EXPECT_EQ(0, c->baselineCharHeight);
    EXPECT_EQ(9, c->charHeight);
}

TEST_F(ResourceEntries, MalformedEntriesEndTheRead)
{
    const struct {
        const char* body;
        const char* error;
    } cases[] = {
        {R"(<Sound>a.wav</Sound>)", "Invalid ID or no ID found: <Sound>\n"},
        {R"(<Font></Font>)", "Invalid ID or no ID found: <Font>\n"},
        {R"(<Sound id="S">a.wav</Script>)", "Invalid close tag: </Script>\n"},
        {R"(<Surface id="I"><Image>a.png</Mask></Surface>)", "Invalid close tag: </Mask>\n"},
        {R"(<Surface id="I"><Image>a.png</Image>stray</Surface>)", "Invalid close tag: stray\n"},
        {R"(<Font id="F"><Surface>S</Surface><Image>x</Image></Font>)", "Invalid close tag: <Image>\n"},
        {R"(<Font id="F"><Comfile>c.txt</Surface></Font>)", "Invalid close tag: </Surface>\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(c.error, parseError(c.body));
    }
}

TEST_F(ResourceEntries, ASurfaceEntryIsQueuedBeforeItsClosingTagIsChecked)
{
    EXPECT_EQ("Invalid close tag: stray\n", parseError(R"(<Surface id="I"><Image>a.png</Image>stray</Surface>)"));
    ASSERT_EQ(1u, entries().size());
    EXPECT_EQ("a.png", entries()[0].imageFile);
}

} // namespace
