// The advertising SDK's program-wide object. It lives in the runtime because it is built by a static
// initializer before the program entry, like the rest of the start-up objects; the game's front end
// defines the SDK operations declared here. Its first word, a tick value, starts at 0.
#pragma once

#include <array>
#include <cstdint>
#include <string>

// The SDK's four functions. The game calls them through this table so a test can stand in for the SDK.
struct AdSdkFunctions {
    int (*init)(int, int, int, int, int, int, int);
    int (*queryAdEx)(int, int*, char*, int, int);
    int (*setFocus)(int, int, int);
    int (*unzip)(const char*, const char*);
};

class AdSdk {
public:
    AdSdk() = default;
    AdSdk(const AdSdk&) = delete;
    AdSdk& operator=(const AdSdk&) = delete;

    static constexpr int kEntries = 6;
    static AdSdk& instance();

    // The tick value, cleared when the object is made.
    std::uint32_t tick = 0;

    // The operations below belong to the game's front end, which defines them (frontend/app/AdSdk.cpp);
    // a program without it only has the object and its tick.

    // Null puts back our own SDK library.
    static void setFunctions(const AdSdkFunctions* functions);
    static const AdSdkFunctions& functions();

    // Starts the SDK and chooses the login and upload movies, each the SDK's or the default, and
    // stores the choice in the registry.
    void initAdSdk(int signedOut);
    // Unpacks the logo package into the logo folder below the SDK's installation folder: the first
    // picture becomes "logo.jpg" (its path in logoPath) and the first text file's start (at most 255
    // characters) goes to text. Nothing happens when the installation folder is unknown.
    void updateAdLogo(const std::string& archivePath, std::string& logoPath, std::string& text);

    const std::string& getDefault(int index) const { return defaults[index]; }
    const std::string& getChosen(int index) const { return chosen[index]; }
    void setChosen(int index, const std::string& path) { chosen[index] = path; }

private:
    std::array<std::string, kEntries> defaults;
    std::array<std::string, kEntries> chosen;
};
