#pragma once

#include "services/ads/AdUpdater.h"

#include <ctime>
#include <map>
#include <memory>
#include <string>

namespace services {

class ServiceShell;

// The service configuration of one game identifier, read from the registry below
// "Software\Vantrel\games\<id>\zevuzuded". Registry failures are never reported: a missing key or
// value leaves its default and only lowers load's result.
class ServiceSettings {
public:
    explicit ServiceSettings(ServiceShell* owner);
    virtual ~ServiceSettings() = default;
    ServiceSettings(const ServiceSettings&) = delete;
    ServiceSettings& operator=(const ServiceSettings&) = delete;

    virtual ServiceShell* getOwner() const { return owner; }
    virtual int getGameSetId() const { return gameSetId; }
    virtual int getSkinnedGameId() const { return skinnedGameId; }
    virtual std::string getVersion() const { return version; }
    virtual long getLastCheckDate() const { return lastCheckDate; }
    virtual int getCheckInterval() const { return checkInterval; }
    // No caller changes the interval today; it stays 7 days unless one does.
    virtual void setCheckInterval(int days) { checkInterval = days; }
    virtual std::string getAdsDirectory() const { return adsDirectory; }
    virtual std::string getUpdateUrl() const { return updateUrl; }
    virtual std::string getDownloadUrl() const { return downloadUrl; }
    virtual std::string getDebugUrl() const { return debugUrl; }
    virtual std::string getMoreGamesUrl() const { return moreGamesUrl; }

    // Reads the registry afresh, decides whether the periodic check is due and stores now as the
    // last check date in every case.
    virtual bool isCheckDue();
    virtual bool load();
    virtual void save();

    // The installed packages, keyed by their id. load fills it from the sub-keys of the "ads" key that
    // are named by a package id in plain decimal; mergeAds keeps it in step with the offered packages.
    virtual std::map<int, std::shared_ptr<AdUpdater>>& getAdTable() { return adTable; }

    // The key that holds this game's values, and the one below it that holds a key per package.
    std::string keyPath() const;
    std::string adsKeyPath() const { return keyPath() + "\\ads"; }

    // The package id a sub-key of "ads" is named by: a positive number written in plain decimal,
    // without sign, blanks or leading zeros, that fits an int. Any other name gives 0. Only such names
    // are ever written, so a package found by this name is found again by its id when it is removed.
    static int packageIdOf(const std::string& name);

    // The clock the check reads; tests replace it.
    static std::time_t (*clock)();

private:
    void loadPackages();

    std::map<int, std::shared_ptr<AdUpdater>> adTable;
    ServiceShell* owner;
    int gameSetId = 0;
    int skinnedGameId = 0;
    std::string version = "0.0.0";
    long lastCheckDate = 0;
    int checkInterval = 7;
    std::string updateUrl;
    std::string downloadUrl;
    std::string debugUrl;
    std::string moreGamesUrl;
    std::string adsDirectory;
};

} // namespace services
