// Game pieces drawn with the staged data set's pictures, fonts and layout: a fresh display, an
// application in a registry of the test's own, the data set loaded, and the program-wide Random seeded.
// The pictures drawn are written as PPM files to look at, and compared pixel for pixel with a picture
// kept beside the tests.
#pragma once

// First: the registry's declarations clash with a name ACE's headers define as a macro.
#include "compat/win32/registry/registry.h"
#include "platform/app/Application.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/surface/ImageLoader.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "runtime/Random.h"
#include "support/StagedDataSet.h"
#include "support/TempDir.h"
#include "toolkit/sprite/SpriteTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace gamefixture {

class StagedApp : public Application {
public:
    StagedApp() : Application(1, "Quarrytide Test", "1.1.0", "Quarrytide Test", 50, 2000) {}
};

class StagedDataSetTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        compat::testing::setRegistryFile(registry.file("registry"));
        app = makeApp();
        data = std::make_unique<testsupport::StagedDataSet>(QUARRY_RUN_DIR);
        Random::global().setSeed(7);
    }
    void TearDown() override
    {
        data.reset();
        app.reset();
        DisplayTest::TearDown();
    }

    // The application the pieces find; a test that needs more of it (a property store) makes its own.
    virtual std::unique_ptr<Application> makeApp() { return std::make_unique<StagedApp>(); }

    // The picture's top-left width x height as a PPM file.
    static void writePpm(Surface* picture, int width, int height, const char* file)
    {
        std::ofstream out(file, std::ios::binary);
        out << "P6\n" << width << " " << height << "\n255\n";
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint32_t p = peek(picture, x, y);
                const char rgb[3] = {static_cast<char>(p >> 16), static_cast<char>(p >> 8), static_cast<char>(p)};
                out.write(rgb, 3);
            }
    }

    // The picture drawn is the one kept in tests/game/<golden>, pixel for pixel (the first five
    // differences are named). With QUARRY_WRITE_GOLDEN set to a file name, what was drawn is written
    // there first, to look at when the picture is meant to change.
    void expectLooksAsKept(Surface* drawn, int width, int height, const char* golden)
    {
        if (const char* file = std::getenv("QUARRY_WRITE_GOLDEN"))
            writePpm(drawn, width, height, file);
        const std::filesystem::path path = (std::filesystem::path(QUARRY_TESTS_DIR) / "game") / golden;
        SurfaceDesc desc = sourceImageDesc();
        DirectDrawSurface* kept = decodeImageFromFile(ResourceManager::getDirectDraw(), path.string(), desc);
        ASSERT_NE(kept, nullptr) << path;
        hold(kept);
        ASSERT_EQ(kept->getDesc().width, static_cast<std::uint32_t>(width));
        ASSERT_EQ(kept->getDesc().height, static_cast<std::uint32_t>(height));
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if ((peek(drawn, x, y) & 0xFFFFFF) != (peek(kept, x, y) & 0xFFFFFF) && ++differing <= 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << "): drawn " << std::hex
                                  << (peek(drawn, x, y) & 0xFFFFFF) << ", kept " << (peek(kept, x, y) & 0xFFFFFF);
        EXPECT_EQ(differing, 0);
    }

    testsupport::TempDir registry;
    std::unique_ptr<Application> app;
    std::unique_ptr<testsupport::StagedDataSet> data;
};

} // namespace gamefixture
