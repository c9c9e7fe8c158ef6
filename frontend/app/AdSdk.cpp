#include "frontend/app/AdSdk.h"

#include "compat/adsdk/vqGameSDK.h"
#include "compat/win32/path.h"
#include "compat/win32/registry/registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>

AdMovieState adMovieState;

namespace {

const char* const kAdKey = "SOFTWARE\\CorvelChina\\tbnq";
const char* const kValueNames[AdSdk::kEntries] = {"Index1", "Index2", "Index3", "Index4", "LoginAD", "UploadAD"};
const char* const kDefaultFiles[AdSdk::kEntries] = {"logo.jpg",     "AdUpload.jpg", "AdBuy.jpg",
                                                    "AdCommon.swf", "AdLogin.swf",  "AdUpload.swf"};

const AdSdkFunctions ownSdk{vqGameSDK_Init, vqGameSDK_QueryAdEx, vqGameSDK_SetFocus, vqGameSDK_Unzip};
const AdSdkFunctions* installed = nullptr;

// The SDK's answer in the 256-byte buffer, terminated whatever the SDK wrote.
int queryAd(int index)
{
    adMovieState.path[0] = '\0';
    const int result = AdSdk::functions().queryAdEx(index, &adMovieState.sdkHandle, adMovieState.path, 0, 0);
    adMovieState.path[sizeof adMovieState.path - 1] = '\0';
    return result;
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The first regular file in folder whose name ends with the suffix (compared without case).
std::filesystem::path firstWithSuffix(const std::filesystem::path& folder, const std::string& suffix)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = lowered(entry.path().filename().string());
        if (entry.is_regular_file(error) && name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            return entry.path();
    }
    return {};
}

} // namespace

void AdSdk::setFunctions(const AdSdkFunctions* functions)
{
    installed = functions;
}

const AdSdkFunctions& AdSdk::functions()
{
    return installed != nullptr ? *installed : ownSdk;
}

void AdSdk::initAdSdk(int)
{
    functions().init(1018, 0, 0, 120, 0, 0, 0);
    for (int i = 0; i < kEntries; ++i) {
        chosen[i].clear();
        defaults[i] = std::string(".\\") + kDefaultFiles[i];
    }
    for (int index : {4, 5}) {
        const int result = queryAd(index);
        if (result != 0 && adMovieState.path[0] != '\0') {
            chosen[index] = adMovieState.path;
            // A bare file name lives in the SDK's own folder of advertisements.
            if (chosen[index].find('\\') == std::string::npos)
                chosen[index] = readAdInstallDir() + "\\VequoraAd\\" + adMovieState.path;
        } else {
            chosen[index] = defaults[index];
        }
        writeAdRegistryValue(index, chosen[index]);
    }
}

void AdSdk::updateAdLogo(const std::string& archivePath, std::string& logoPath, std::string& text)
{
    const std::string base = readAdInstallDir();
    // Without the SDK's folder there is no logo folder to clear: never empty one relative to wherever the
    // game runs.
    if (base.empty())
        return;
    const std::filesystem::path folder = std::filesystem::path(compat::hostPath(base)) / "logo";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        if (entry.is_regular_file(error))
            std::filesystem::remove(entry.path(), error);
    const std::string target = base + "\\logo\\";
    if (functions().unzip(archivePath.c_str(), target.c_str()) != 1)
        return;
    const std::filesystem::path picture = firstWithSuffix(folder, ".jpg");
    if (picture.empty())
        return;
    const std::filesystem::path logo = folder / "logo.jpg";
    // A picture already called logo.jpg is the logo: copying it onto itself and deleting it would lose it.
    if (lowered(picture.filename().string()) != "logo.jpg") {
        std::filesystem::copy_file(picture, logo, std::filesystem::copy_options::overwrite_existing, error);
        if (error)
            return;
        std::filesystem::remove(picture, error);
    } else if (picture != logo) {
        // A folder of that name may stand in the way: then there is no logo to give.
        std::filesystem::rename(picture, logo, error);
        if (error)
            return;
    }
    logoPath = target + "logo.jpg";
    const std::filesystem::path textFile = firstWithSuffix(folder, ".txt");
    if (textFile.empty())
        return;
    std::ifstream in(textFile);
    char buffer[256] = {};
    in.read(buffer, sizeof buffer - 1);
    text.assign(buffer, static_cast<std::size_t>(in.gcount()));
}

std::string readAdInstallDir()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAdKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    char buffer[261] = {};
    DWORD size = 260;
    DWORD type = 0;
    const LONG result = RegQueryValueExA(key, "InstallDir", nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return {};
    return std::string(buffer, ::strnlen(buffer, 260));
}

void writeAdRegistryValue(int index, const std::string& text)
{
    if (index < 0 || index >= AdSdk::kEntries)
        return;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAdKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, kValueNames[index], 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size()));
    RegCloseKey(key);
}

void adMovieClicked()
{
    if (adMovieState.sdkFocus != 0)
        AdSdk::functions().setFocus(adMovieState.sdkHandle, 0, 0);
}
