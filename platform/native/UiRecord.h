// The outcome of an update check as the update dialog shows it: a result code and two texts.
#pragma once

#include <cstdint>
#include <string>

class UiRecord {
public:
    enum Code : int32_t {
        NoUpdate = 0,        // also the value before the check
        UpdateAvailable = 1, // text1 goes into the dialog's message, text2 after it
        CheckFailed = 3,
    };

    UiRecord() = default;
    virtual ~UiRecord() = default;

    virtual int32_t getCode() const { return code; }
    virtual std::string getText1() const { return text1; }
    virtual std::string getText2() const { return text2; }
    virtual void set(int32_t newCode, std::string newText1, std::string newText2);

private:
    int32_t code = NoUpdate;
    std::string text1;
    std::string text2;
};
