#include "game/field/FieldServices.h"

#include "runtime/properties/Properties.h"

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace {

// Stands in until the front end installs its services: builds nothing and plays nothing. Its saved
// games go to a folder of this process in the system's temporary folder, so a program without a front
// end (a fuzzing run, a tool) leaves nothing in the directory it was started from; the folder goes
// with the program.
class QuietFieldServices : public FieldServices {
public:
    ~QuietFieldServices() override
    {
        std::error_code ignored;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ignored);
    }
    Properties& getConfig() override { return config; }
    std::string getCurrentPlayer() override { return std::string(); }
    bool isGuest() override { return true; }
    std::string getSaveGamePath(const std::string& mode, const std::string& player,
                                const std::string& directory) override
    {
        std::error_code ignored;
        if (folder.empty())
            folder = std::filesystem::temp_directory_path(ignored) / ("quarrytide-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder / directory, ignored);
        return (folder / directory).string() + "\\" + player + "_" + mode + ".sav";
    }
    void playMusic(const std::string&, float) override {}
    void fadeMusicIn(float) override {}
    void fadeMusicHalf(float) override {}
    void fadeMusicOut(float) override {}
    int addScore(const std::string&, bool, const std::string&, int, int, int, int, double) override { return 0; }
    Dialog* openMainMenu(const std::string&, int, int, int, int, int, const GameSettings&) override
    {
        return nullptr;
    }
    Dialog* openTreasureClaimedDialog(int, bool) override { return nullptr; }
    Dialog* openGameOverStatsDialog(int, int, int, int, const std::string&, const std::vector<std::string>&,
                                    const std::vector<std::string>&) override
    {
        return nullptr;
    }
    int getStatsDialogHeaderY(Dialog*) override { return 0; }
    void postGameWindowMessage(unsigned, long, long) override {}

private:
    Properties config;
    std::filesystem::path folder;
};

FieldServices* installed = nullptr;

} // namespace

FieldServices& FieldServices::get()
{
    static QuietFieldServices quiet;
    return installed ? *installed : quiet;
}

void FieldServices::install(FieldServices* services)
{
    installed = services;
}
