#include "platform/surface/SurfaceTestSupport.h"

#include "runtime/GameException.h"

#include <cstring>
#include <string>

namespace {

TEST(DrawErrorTest, NamesDirectDrawResults)
{
    struct {
        HRESULT code;
        const char* name;
    } cases[] = {
        {0, "DD_OK"},
        {static_cast<HRESULT>(0x887601C2u), "DDERR_SURFACELOST"},
        {static_cast<HRESULT>(0x88760245u), "DDERR_EXCLUSIVEMODEALREADYSET"},
        {static_cast<HRESULT>(0x88760091u), "DDERR_INVALIDPIXELFORMAT"},
        {static_cast<HRESULT>(0x8876021Cu), "DDERR_WASSTILLDRAWING"},
        {DDERR_NODIRECTDRAWHW, "DDERR_NODIRECTDRAWHW"},
        {DDERR_TOOBIGWIDTH, "DDERR_TOOBIGWIDTH"},
        {E_FAIL, "DDERR_GENERIC"},
        {E_OUTOFMEMORY, "DDERR_OUTOFMEMORY"},
        {E_INVALIDARG, "DDERR_INVALIDPARAMS"},
        {static_cast<HRESULT>(0x80004001u), "DDERR_UNSUPPORTED"},
        {static_cast<HRESULT>(0x800401F0u), "DDERR_NOTINITIALIZED"},
        {1, "UNSPECIFIED"},
        {-1, "UNSPECIFIED"},
        {MAKE_DDHRESULT(542), "UNSPECIFIED"}, // a later DirectDraw code, not one of the names
    };
    for (const auto& c : cases)
        EXPECT_STREQ(c.name, ddErrorName(c.code)) << std::hex << c.code;
}

TEST(DrawErrorTest, RecordKeepsTheLastFailureUntilReset)
{
    resetDrawError();
    recordDrawError(DDERR_SURFACELOST);
    recordDrawError(0);
    recordDrawError(5);
    EXPECT_EQ(1u, hasDrawError());
    EXPECT_EQ(DDERR_SURFACELOST, lastDrawError());
    recordDrawError(E_FAIL);
    EXPECT_EQ(E_FAIL, lastDrawError());
    resetDrawError();
    EXPECT_EQ(0u, hasDrawError());
    EXPECT_EQ(0, lastDrawError());
}

using SurfaceTest = DisplayTest;

TEST_F(SurfaceTest, DirectDrawSurfaceTakesTheDisplayFormatUnlessGivenOne)
{
    struct {
        std::uint32_t bits;
        std::uint32_t expectedBits;
        std::int32_t expectedCode;
    } cases[] = {{0, 32, 4}, {8, 32, 4}, {24, 32, 4}, {16, 16, 1}, {32, 32, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        SurfaceDesc desc = c.bits == 16 ? describe(5, 3, 16, 0xF800, 0x07E0, 0x001F)
                                        : describe(5, 3, c.bits, 0xFF0000, 0xFF00, 0xFF);
        DirectDrawSurface* s = hold(createDirectDrawSurfaceFromDesc(dd, desc));
        ASSERT_NE(nullptr, s->getInterface());
        EXPECT_EQ(2u, s->getDesc().kind);
        EXPECT_EQ(c.expectedBits, s->getDesc().format.bitsPerPixel);
        EXPECT_EQ(c.expectedCode, s->getDesc().format.formatCode);
        EXPECT_EQ(5u, s->getDesc().width);
        EXPECT_GE(s->getDesc().pitch, static_cast<std::int32_t>(5 * c.expectedBits / 8));
    }
    compat::testing::setDisplayDepth(16);
    DirectDrawSurface* s = hold(createDirectDrawSurface(dd, 4, 4));
    EXPECT_EQ(1, s->getDesc().format.formatCode);
    EXPECT_EQ(16u, getDisplayBitDepth(dd));
}

TEST_F(SurfaceTest, CreationFallsBackToSystemMemoryAndReportsOtherFailures)
{
    SurfaceDesc video = describe(8, 8, 32, 0xFF0000, 0xFF00, 0xFF);
    video.memoryType = SurfaceDesc::VideoMemory;
    compat::testing::failNextCreateSurface(DDERR_TOOBIGWIDTH);
    DirectDrawSurface* retried = hold(createDirectDrawSurfaceFromDesc(dd, video));
    EXPECT_NE(nullptr, retried->getInterface());
    EXPECT_EQ(2u, retried->getDesc().memoryType);

    // Too wide is only retried when video memory was asked for.
    compat::testing::failNextCreateSurface(DDERR_TOOBIGWIDTH);
    DirectDrawSurface* refused = hold(createDirectDrawSurfaceFromDesc(dd, describe(8, 8)));
    EXPECT_EQ(nullptr, refused->getInterface());
    EXPECT_EQ(DDERR_TOOBIGWIDTH, refused->creationResult());
    EXPECT_EQ(E_FAIL, refused->fill(0));
    EXPECT_EQ(E_FAIL, refused->lock());
    EXPECT_EQ(S_OK, refused->restore());
    EXPECT_EQ(E_FAIL, refused->recreate());
    refused->restoreLost(); // nothing to rebuild, nothing to crash on

    compat::testing::failNextCreateSurface(E_OUTOFMEMORY);
    try {
        createDirectDrawSurface(dd, 8, 8);
        FAIL() << "no exception";
    } catch (const GameTextException& e) {
        EXPECT_STREQ("ERROR - There is not enough memory to continue the game!\n", e.getText());
        EXPECT_EQ(0, e.getCode());
    }
}

TEST_F(SurfaceTest, FillReportsWhatTheBlitAnswers)
{
    DirectDrawSurface* s = make565(3, 2);
    EXPECT_EQ(S_OK, s->fill(0x07E0)); // a native value, not a colour
    EXPECT_EQ(0x07E0u, peek(s, 2, 1));
    compat::testing::loseAllSurfaces();
    EXPECT_EQ(DDERR_SURFACELOST, s->fill(0));
    EXPECT_EQ(DDERR_SURFACELOST, s->lock());
}

TEST_F(SurfaceTest, ColourKeyReachesDirectDrawAndSurvivesARebuild)
{
    SurfaceDesc desc = describe(2, 1, 32, 0xFF0000, 0xFF00, 0xFF);
    desc.setColorKeyValue(0xFF00FF00); // set before creation
    DirectDrawSurface* source = hold(createDirectDrawSurfaceFromDesc(dd, desc));
    EXPECT_EQ(0x0000FF00u, source->getDesc().nativeColorKey);
    DirectDrawSurface* target = make32(2, 1);
    poke(source, 0, 0, 0x0000FF00);
    poke(source, 1, 0, 0x00123456);
    target->fill(0x00000001);
    ASSERT_EQ(DD_OK, target->getInterface()->BltFast(0, 0, source->getInterface(), nullptr,
                                                     DDBLTFAST_WAIT | DDBLTFAST_SRCCOLORKEY));
    EXPECT_EQ(0x00000001u, peek(target, 0, 0));
    EXPECT_EQ(0x00123456u, peek(target, 1, 0));

    // The display goes 16-bit: the rebuilt surface is 5-6-5 and its key repacked.
    compat::testing::setDisplayDepth(16);
    source->restoreLost();
    EXPECT_NE(nullptr, source->getInterface());
    EXPECT_EQ(DD_OK, source->getInterface()->IsLost());
    EXPECT_EQ(1, source->getDesc().format.formatCode);
    ASSERT_TRUE(source->getDesc().hasColorKey());
    EXPECT_EQ(0x07E0u, source->getDesc().nativeColorKey);
    DDSURFACEDESC2 ddsd{};
    source->getInterface()->GetSurfaceDesc(&ddsd);
    EXPECT_EQ(0x07E0u, ddsd.ddckCKSrcBlt.dwColorSpaceLowValue);

    source->setColorKey(nullptr);
    EXPECT_FALSE(source->getDesc().hasColorKey());
    source->getInterface()->GetSurfaceDesc(&ddsd);
    EXPECT_EQ(0u, ddsd.dwFlags & DDSD_CKSRCBLT);
}

TEST_F(SurfaceTest, RestoreRebuildsOnlyLostOrOutdatedSurfaces)
{
    DirectDrawSurface* s = make32(4, 4);
    poke(s, 1, 1, 0x00ABCDEF);
    s->restoreLost();
    EXPECT_EQ(0x00ABCDEFu, peek(s, 1, 1)) << "a healthy surface in the display's depth stays";

    compat::testing::loseAllSurfaces();
    s->restoreLost();
    EXPECT_EQ(DD_OK, s->getInterface()->IsLost());
    EXPECT_EQ(0u, peek(s, 1, 1)) << "rebuilt: the pixels are gone";
    EXPECT_EQ(S_OK, s->lock());
    s->unlock();

    // A 16-bit surface on a 32-bit display is rebuilt in the display's depth.
    DirectDrawSurface* old = make565(4, 4);
    old->restoreLost();
    EXPECT_EQ(32u, old->getDesc().format.bitsPerPixel);
    EXPECT_EQ(4u, old->getDesc().width);
}

TEST_F(SurfaceTest, WrappedSurfaceDescribesWhatDirectDrawMade)
{
    DDSURFACEDESC2 request{};
    request.dwFlags = DDSD_CAPS;
    request.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface4* primary = nullptr;
    ASSERT_EQ(DD_OK, dd->CreateSurface(&request, &primary, nullptr));
    DirectDrawSurface* wrapped = hold(new DirectDrawSurface(primary));
    EXPECT_EQ(1u, primary->Release()); // the wrapper holds its own reference
    wrapped->setName("PrimaryBuffer");
    EXPECT_EQ("PrimaryBuffer", wrapped->getName());
    EXPECT_EQ(1u, wrapped->isWrapped());
    EXPECT_EQ(2u, wrapped->getDesc().kind);
    EXPECT_EQ(32u, wrapped->getDesc().format.bitsPerPixel);
    EXPECT_EQ(compat::ddraw::currentDisplayMode().width, wrapped->getDesc().width);
}

TEST_F(SurfaceTest, MemorySurfaceIsAByteMap)
{
    MemorySurface* map = makeMap(5, 3);
    const SurfaceDesc& d = map->getDesc();
    EXPECT_EQ(1u, d.kind);
    EXPECT_EQ(8u, d.format.bitsPerPixel);
    EXPECT_EQ(5, d.format.formatCode);
    EXPECT_EQ(0xFFu, d.format.redMask);
    EXPECT_EQ(5, d.pitch);
    EXPECT_EQ(0u, map->isWrapped());
    EXPECT_EQ(S_OK, map->fill(0x00000040));
    EXPECT_EQ(0x40u, peek(map, 4, 2));
    EXPECT_EQ(S_OK, map->fill(0x10200000));
    EXPECT_EQ(0x30u, peek(map, 0, 0)); // OR of the colour's bytes

    SurfaceDesc desc = describe(4, 2, 32, 0xFF0000, 0xFF00, 0xFF);
    MemorySurface* fromDesc = hold(createMemorySurfaceFromDesc(desc));
    EXPECT_EQ(8u, fromDesc->getDesc().format.bitsPerPixel);
    EXPECT_EQ(4, fromDesc->getDesc().pitch);
}

TEST_F(SurfaceTest, MemorySurfaceFactoryRefusesWhatItCannotAllocate)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer stops the process on impossible allocations";
#else
    EXPECT_EQ(nullptr, createMemorySurface(0xFFFFFFFFu, 0xFFFFFFFFu));
#endif
}

} // namespace
