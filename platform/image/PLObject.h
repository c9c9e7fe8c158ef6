// Root of the image layer's classes.
#pragma once

class PLObject {
public:
    PLObject() = default;
    PLObject(const PLObject&) = default;
    PLObject& operator=(const PLObject&) = default;
    virtual ~PLObject() = default;
};
