#include "services/update/UpdateDialogAdapter.h"

#include "tests/services/LoopbackServer.h"

#include "platform/native/UiRecord.h"

#include <gtest/gtest.h>

using services::testing::LoopbackServer;

TEST(UpdateDialogAdapter, HandsTheCheckToTheDialogRecord)
{
    services::ServiceShell shell;
    shell.limits.readTimeoutMs = 500;
    services::UpdateDialogAdapter adapter(shell);
    UpdateCheckService::Query query;
    EXPECT_FALSE(adapter.updateQuery(query));

    LoopbackServer server("HTTP/1.1 200 OK\r\n\r\nCheckDownloadableUpdate\nTRUE\n2.0\n0\n0\n");
    UiRecord record;
    adapter.checkForUpdate(true, server.url("/check"), 6, "1.0", &record);
    EXPECT_EQ(record.getCode(), UiRecord::UpdateAvailable);
    EXPECT_EQ(record.getText1(), "2.0");
    EXPECT_EQ(record.getText2(), " ");

    adapter.checkForUpdate(true, "", 6, "1.0", &record);
    EXPECT_EQ(record.getCode(), UiRecord::CheckFailed);
}
