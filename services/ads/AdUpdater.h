#pragma once

#include "services/http/HttpExchange.h"

#include "compat/win32/registry/registry.h"

#include <string>

namespace services {

// One advertisement package: its download, unpacking, files and registry entry. The package lives in
// packagesDirectory/<id> (a host path) and its entry under registryKey\<id>, the id always written in
// plain decimal, so the entry, the folder and the settings' table name the package alike.
class AdUpdater {
public:
    AdUpdater(int id, std::string packagesDirectory, std::string registryKey);
    virtual ~AdUpdater() = default;

    int getId() const { return id; }
    const std::string& getFileNameUrl() const { return fileUrl; }
    void setFileNameUrl(const std::string& url) { fileUrl = url; }
    const std::string& getGameIds() const { return gameIds; }
    void setGameIds(const std::string& ids) { gameIds = ids; }
    std::string directory() const;

    // Makes sure the package is unpacked; true when its index.html is present afterwards.
    virtual bool update(const HttpLimits& limits);
    virtual void deleteFiles();
    // Writes "filenameurl" and "gameids" into the package's key, creating it when it is missing.
    virtual void saveEntry();
    // Deletes the package's key; anything a hand edit put below it goes too.
    virtual void deleteEntry();
    // Reads both values from the package's key below `adsKey` (the open "...\ads" key); true only when
    // the key opens and both are present as REG_SZ.
    virtual bool loadEntry(HKEY adsKey);

private:
    int id;
    std::string fileUrl;
    std::string gameIds;
    std::string packagesDirectory;
    std::string registryKey;
};

} // namespace services
