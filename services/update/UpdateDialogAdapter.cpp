#include "services/update/UpdateDialogAdapter.h"

#include "platform/native/UiRecord.h"

namespace services {

bool UpdateDialogAdapter::updateQuery(Query& query)
{
    ServiceSettings* settings = shell.getSettings();
    if (!settings)
        return false;
    query.updateUrl = settings->getUpdateUrl();
    query.gameSetId = settings->getGameSetId();
    query.version = settings->getVersion();
    return true;
}

void UpdateDialogAdapter::checkForUpdate(bool mergeAds, const std::string& url, int32_t gameSetId,
                                         const std::string& version, UiRecord* result)
{
    UpdateResult outcome;
    shell.checkForUpdate(mergeAds, url, gameSetId, version, outcome);
    if (result)
        result->set(outcome.code, outcome.versionLine, outcome.description);
}

int32_t UpdateDialogAdapter::checkIntervalDays()
{
    ServiceSettings* settings = shell.getSettings();
    return settings ? settings->getCheckInterval() : 7;
}

std::string UpdateDialogAdapter::version()
{
    ServiceSettings* settings = shell.getSettings();
    return settings ? settings->getVersion() : std::string("0.0.0");
}

} // namespace services
