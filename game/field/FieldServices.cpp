#include "game/field/FieldServices.h"

#include "runtime/properties/Properties.h"

namespace {

// Stands in until the front end installs its services: builds nothing and plays nothing.
class QuietFieldServices : public FieldServices {
public:
    Properties& getConfig() override { return config; }
    std::string getCurrentPlayer() override { return std::string(); }
    bool isGuest() override { return true; }
    std::string getSaveGamePath(const std::string& mode, const std::string& player,
                                const std::string& directory) override
    {
        return directory + "\\" + player + "_" + mode + ".sav";
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
