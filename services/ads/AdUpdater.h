#pragma once

#include "services/http/HttpExchange.h"

#include <string>

namespace services {

// One advertisement package: its download, unpacking, files and registry entry. The package lives in
// packagesDirectory/<id> (a host path) and its entry under registryKey\<id>.
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
    virtual void saveEntry();

private:
    int id;
    std::string fileUrl;
    std::string gameIds;
    std::string packagesDirectory;
    std::string registryKey;
};

} // namespace services
