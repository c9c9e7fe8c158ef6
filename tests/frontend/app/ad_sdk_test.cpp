// The advertising SDK's start-up: our own SDK has no advertisement, so the defaults are chosen and
// stored; an SDK that offers movies and a logo package (the double below) has its files chosen, and
// the logo package is unpacked without losing the logo or overrunning the text.
#include "compat/adsdk/vqGameSDK.h"
#include "compat/win32/path.h"
#include "compat/win32/registry/registry.h"
#include "frontend/app/AdSdk.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const char* const kKey = "SOFTWARE\\CorvelChina\\tbnq";

// An SDK that offers a bare file name for the login movie, a full path for the upload movie, and a
// logo package that unpacks to a picture already named logo.jpg and a long text.
struct OfferingSdk {
    static int init(int, int, int, int, int, int, int) { return 0; }
    static int query(int index, int* handle, char* path, int, int)
    {
        *handle = 42;
        const char* offered = index == 4 ? "login.swf" : index == 5 ? "C:\\ads\\upload.swf" : "";
        std::strcpy(path, offered);
        return offered[0] != '\0' ? 1 : 0;
    }
    static int focus(int, int, int) { return 0; }
    static int unzip(const char*, const char* target)
    {
        const std::filesystem::path folder = compat::hostPath(target);
        std::ofstream(folder / "LOGO.JPG") << "picture";
        std::ofstream(folder / "about.txt") << std::string(400, 't');
        return 1;
    }
};
const AdSdkFunctions offering{OfferingSdk::init, OfferingSdk::query, OfferingSdk::focus, OfferingSdk::unzip};

class AdSdkStartUp : public ::testing::Test {
protected:
    void SetUp() override { compat::testing::setRegistryFile(home.path().string() + "/registry"); }
    void TearDown() override
    {
        AdSdk::setFunctions(nullptr);
        compat::testing::setRegistryFile("");
    }

    // Creates the SDK's key, with its installation folder when `installDir` is not empty.
    void createKey(const std::string& installDir)
    {
        HKEY key = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, &disposition),
                  ERROR_SUCCESS);
        if (!installDir.empty())
            RegSetValueExA(key, "InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(installDir.c_str()),
                           static_cast<DWORD>(installDir.size()));
        RegCloseKey(key);
    }

    std::string value(const char* name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return "<no key>";
        char buffer[512] = {};
        DWORD size = sizeof buffer - 1;
        const LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(buffer), &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? std::string(buffer) : "<none>";
    }

    testsupport::TempDir home;
};

TEST_F(AdSdkStartUp, OurSdkHasNoAdvertisementSoTheDefaultsAreStored)
{
    int handle = 7;
    char path[256] = "stale";
    EXPECT_EQ(vqGameSDK_QueryAdEx(4, &handle, path, 0, 0), 0);
    EXPECT_STREQ(path, "");
    EXPECT_NE(vqGameSDK_Unzip("package.zip", "."), 1);

    createKey("");
    AdSdk::instance().initAdSdk(1);
    EXPECT_EQ(value("LoginAD"), ".\\AdLogin.swf");
    EXPECT_EQ(value("UploadAD"), ".\\AdUpload.swf");
    EXPECT_EQ(AdSdk::instance().getDefault(3), ".\\AdCommon.swf");
}

TEST_F(AdSdkStartUp, OfferedMoviesAreChosenAndABareNameLivesInTheSdksFolder)
{
    createKey("D:\\Games\\Sdk");
    AdSdk::setFunctions(&offering);
    AdSdk::instance().initAdSdk(0);
    EXPECT_EQ(value("LoginAD"), "D:\\Games\\Sdk\\VequoraAd\\login.swf");
    EXPECT_EQ(value("UploadAD"), "C:\\ads\\upload.swf");
    EXPECT_EQ(adMovieState.sdkHandle, 42);

    // An installation folder at the registry's limit still gives the whole path.
    const std::string longDir(259, 'd');
    createKey(longDir);
    AdSdk::instance().initAdSdk(0);
    EXPECT_EQ(AdSdk::instance().getChosen(4), longDir + "\\VequoraAd\\login.swf");
}

TEST_F(AdSdkStartUp, LogoPackageKeepsItsLogoAndBoundsTheText)
{
    const std::filesystem::path install = home.path() / "sdk";
    std::filesystem::create_directories(install / "logo");
    std::ofstream(install / "logo" / "old.jpg") << "old";
    createKey(install.string());
    AdSdk::setFunctions(&offering);

    std::string logo;
    std::string text;
    AdSdk::instance().updateAdLogo("package.zip", logo, text);
    EXPECT_EQ(compat::hostPath(logo), (install / "logo" / "logo.jpg").string());
    EXPECT_TRUE(std::filesystem::exists(install / "logo" / "logo.jpg"));
    EXPECT_FALSE(std::filesystem::exists(install / "logo" / "old.jpg"));
    EXPECT_EQ(text, std::string(255, 't'));
}

// A package whose picture is named like the logo while a folder of that name stands in the way: the
// picture cannot become the logo, so no logo (and no text) is given rather than the folder's path.
struct FolderInTheWaySdk {
    static int unzip(const char*, const char* target)
    {
        const std::filesystem::path folder = compat::hostPath(target);
        std::filesystem::create_directories(folder / "logo.jpg");
        std::ofstream(folder / "LOGO.JPG") << "picture";
        std::ofstream(folder / "about.txt") << "text";
        return 1;
    }
};
const AdSdkFunctions folderInTheWay{OfferingSdk::init, OfferingSdk::query, OfferingSdk::focus,
                                    FolderInTheWaySdk::unzip};

TEST_F(AdSdkStartUp, ALogoThatCannotTakeItsNameGivesNoLogoPath)
{
    const std::filesystem::path install = home.path() / "sdk";
    createKey(install.string());
    AdSdk::setFunctions(&folderInTheWay);
    std::string logo;
    std::string text;
    AdSdk::instance().updateAdLogo("package.zip", logo, text);
    EXPECT_EQ(logo, "");
    EXPECT_EQ(text, "");
    EXPECT_TRUE(std::filesystem::exists(install / "logo" / "LOGO.JPG")) << "the picture is left as unpacked";
}

TEST_F(AdSdkStartUp, UnknownSdkFolderLeavesTheWorkingFolderAlone)
{
    testsupport::TempDir working(true);
    std::filesystem::create_directories("logo");
    std::ofstream("logo/keep.jpg") << "mine";
    AdSdk::setFunctions(&offering);
    std::string logo;
    std::string text;
    AdSdk::instance().updateAdLogo("package.zip", logo, text);
    EXPECT_TRUE(std::filesystem::exists("logo/keep.jpg"));
    EXPECT_EQ(logo, "");
}

} // namespace
