// The game's side of the advertising SDK: the start-up the load screen runs, the default and chosen
// advertisement files, their registry copies and the logo package.
#pragma once

#include <array>
#include <string>

// The SDK's four functions. The game calls them through this table so a test can stand in for the SDK.
struct AdSdkFunctions {
    int (*init)(int, int, int, int, int, int, int);
    int (*queryAdEx)(int, int*, char*, int, int);
    int (*setFocus)(int, int, int);
    int (*unzip)(const char*, const char*);
};

// Shared by the load screen, the window procedure and the message loop.
struct AdMovieState {
    int originX = 115;
    int originY = 258;
    int shown = 0;
    int sdkFocus = 0;
    int currentIndex = 0;
    char path[256] = {};
    int sdkResult = 0;
    int sdkHandle = 0;
};

extern AdMovieState adMovieState;

class AdSdk {
public:
    static constexpr int kEntries = 6;
    static AdSdk& instance();

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

// The SDK's installation folder from the registry, empty when it cannot be read.
std::string readAdInstallDir();
// Stores text under the value name of the index; a failure is ignored.
void writeAdRegistryValue(int index, const std::string& text);
// The movie area was clicked: the SDK takes the focus when it asked for it.
void adMovieClicked();
