// A catalogue, a property store that feeds it, an application that receives its events and a sound
// manager, over a fresh display, in a temporary working directory where the test writes its files.
#pragma once

#include "compat/fmod/testing.h"
#include "platform/app/Application.h"
#include "platform/catalogue/CatalogueSound.h"
#include "platform/catalogue/ResourceManager.h"
#include "platform/sound/SoundManager.h"
#include "platform/surface/SurfaceTestSupport.h"
#include "resources/properties/PropertyManager.h"
#include "runtime/DebugLog.h"
#include "runtime/GameException.h"
#include "support/ImageFixtures.h"
#include "support/LendingApplication.h"
#include "support/TempDir.h"
#include "support/WavFixture.h"

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using CatalogueTestApplication = LendingApplication;

class CatalogueTest : public DisplayTest {
protected:
    void SetUp() override
    {
        DisplayTest::SetUp();
        ResourceManager::setDirectDraw(dd);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        compat::testing::setAudioAvailable(true);
        compat::testing::clearPlayedSounds();
        setStartupAdvertImage("");
        application = std::make_unique<CatalogueTestApplication>();
        catalogue = new ResourceManager();
        store = new PropertyManager(catalogue);
        store->addRef();
        logStart = DebugLog::instance().getText().size();
    }
    void TearDown() override
    {
        store->release();
        delete ResourceManager::instance();
        application.reset();
        sound.reset();
        ResourceManager::setDirectDraw(nullptr);
        DisplayTest::TearDown();
    }

    void withSound()
    {
        sound = std::make_unique<SoundManager>(0, 44100, 32);
        application->useSoundManager(sound.get());
    }

    // Writes the file under its game path (backslashes), making its directories.
    void write(const std::string& gamePath, const std::string& bytes)
    {
        std::string path = gamePath;
        for (char& c : path)
            if (c == '\\')
                c = '/';
        std::filesystem::path full = dir.path() / path;
        std::filesystem::create_directories(full.parent_path());
        testsupport::writeFile(full.string(), bytes);
    }
    void write(const std::string& gamePath, const testsupport::Bytes& bytes)
    {
        write(gamePath, std::string(bytes.begin(), bytes.end()));
    }

    // An RGB picture of one colour (0xRRGGBB).
    void writePng(const std::string& gamePath, int width, int height, std::uint32_t rgb)
    {
        testsupport::PngSpec spec;
        spec.width = width;
        spec.height = height;
        for (int i = 0; i < width * height; ++i) {
            spec.rows.push_back(static_cast<std::uint8_t>(rgb >> 16));
            spec.rows.push_back(static_cast<std::uint8_t>(rgb >> 8));
            spec.rows.push_back(static_cast<std::uint8_t>(rgb));
        }
        write(gamePath, testsupport::encodePng(spec));
    }

    // A 24-bit grey Windows bitmap; width a multiple of 4 keeps the rows unpadded.
    void writeGreyBmp(const std::string& gamePath, int width, int height, std::uint8_t grey)
    {
        testsupport::BmpSpec spec;
        spec.width = width;
        spec.height = height;
        spec.bits = 24;
        spec.pixels.assign(static_cast<std::size_t>(width * height * 3), grey);
        write(gamePath, testsupport::makeBmp(spec));
    }

    // A font picture in the marker layout: `glyphs` glyphs of `glyphWidth` columns, each closed by
    // a marker pixel on the bottom line.
    void writeFontPicture(const std::string& gamePath, int glyphs, int glyphWidth, int height)
    {
        testsupport::PngSpec spec;
        spec.width = glyphs * glyphWidth;
        spec.height = height;
        spec.rows.assign(static_cast<std::size_t>(spec.width * height * 3), 0);
        for (int g = 0; g < glyphs; ++g) {
            std::size_t marker = static_cast<std::size_t>(((height - 1) * spec.width + (g + 1) * glyphWidth - 1) * 3);
            spec.rows[marker] = spec.rows[marker + 1] = spec.rows[marker + 2] = 0xFF;
        }
        write(gamePath, testsupport::encodePng(spec));
    }

    static std::string document(const std::string& body)
    {
        return std::string("<?xml version=\"1.0\"?>\n<Properties xsi:noNamespaceSchemaLocation=\"") +
               PropertyManager::kSchemaLocation +
               "\" version=\"1.0\" language=\"en\" country=\"US\" lookandfeel=\"NORMAL\">\n" + body +
               "\n</Properties>\n";
    }
    void parse(const std::string& body) { ASSERT_EQ(1, store->parse(document(body).c_str())); }

    // The message of the GameTextException the call throws; "" when it throws none.
    template <class Call> static std::string errorOf(Call call)
    {
        try {
            call();
        } catch (const GameTextException& e) {
            return e.getText();
        }
        return "";
    }

    // Runs a whole pass; the number of steps it took.
    int runPass()
    {
        catalogue->beginLoading();
        int steps = 0;
        while (!catalogue->isDone() && steps < 1000) {
            catalogue->loadStep();
            ++steps;
        }
        return steps;
    }

    // The loading progress events queued so far, as (value1, value2).
    std::vector<std::pair<int, int>> progressEvents()
    {
        std::vector<std::pair<int, int>> events;
        auto& queue = application->getEventQueue();
        for (unsigned i = 0; i < queue.size(); ++i) {
            AppEvent* event = queue.elementAt(i);
            if (event->id == AppEvent::LoadingProgress)
                events.emplace_back(event->value1, event->value2);
        }
        return events;
    }

    std::string newLog() const { return DebugLog::instance().getText().substr(logStart); }

    testsupport::TempDir dir{true};
    std::unique_ptr<CatalogueTestApplication> application;
    std::unique_ptr<SoundManager> sound;
    ResourceManager* catalogue = nullptr;
    PropertyManager* store = nullptr;
    std::size_t logStart = 0;
};
