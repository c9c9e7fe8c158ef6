// What a screen offers to the transition into the next one: a picture of itself. Every transition scene
// and the load screen implement it.
#pragma once

#include <string>

class Surface;

class SceneSnapshot {
public:
    // The name a scene passes when it photographs itself.
    static constexpr const char* SelfCaller = "No Caller Specified (SELF)";

    virtual ~SceneSnapshot() = default;

    // A new surface of snapshot width by height with the scene drawn on it (one reference, which the
    // caller releases). The caller's name lets the scene decide what the picture shows.
    virtual Surface* takeSnapshot(const std::string& callerName) = 0;
    // The owning scene's name.
    virtual const std::string& getSceneName() const = 0;

    int getSnapshotWidth() const { return snapshotWidth; }
    int getSnapshotHeight() const { return snapshotHeight; }

protected:
    int snapshotWidth = 0;
    int snapshotHeight = 0;
};
