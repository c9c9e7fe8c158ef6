// An application event: queued by whoever posts it, handled and deleted by the frame loop, and passed
// on to the current scene.
#pragma once

class AppEvent {
public:
    enum : int {
        DisplayLost = 1000001,
        DisplayRegained = 1000002,
        LoadingProgress = 1000003, // value1: steps done, value2: steps in the pass
        ToggleFullScreen = 2000001,
        ReopenDisplay = 2000002,
    };

    AppEvent(int id, int value1 = 0, int value2 = 0) : id(id), value1(value1), value2(value2) {}

    int id;
    int value1;
    int value2;
};
