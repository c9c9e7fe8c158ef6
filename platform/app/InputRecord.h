// One window message waiting in the input manager's queue.
#pragma once

struct InputRecord {
    int message;
    int wParam;
    int lParam;
};
