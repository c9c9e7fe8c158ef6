#include "runtime/DataDirectory.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

void makeDataSet(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder / "properties");
    std::ofstream(folder / "properties" / "default.uprop") << "x\n";
}

} // namespace

// The working directory wins when it holds a data set; else the program's folder; else the installed
// layout's share/quarrytide; an unrelated folder is never taken.
TEST(DataDirectory, FindsTheDataSetInOrderOfPreference)
{
    testsupport::TempDir root;
    const std::filesystem::path base = root.path();
    const std::filesystem::path program = base / "prefix" / "bin" / "quarrytide";
    const std::filesystem::path elsewhere = base / "elsewhere";
    std::filesystem::create_directories(program.parent_path());
    std::filesystem::create_directories(elsewhere);

    EXPECT_EQ(findDataDirectory(program, elsewhere), std::filesystem::path());
    EXPECT_EQ(findDataDirectory({}, elsewhere), std::filesystem::path());

    makeDataSet(base / "prefix" / "share" / "quarrytide");
    EXPECT_EQ(findDataDirectory(program, elsewhere), base / "prefix" / "share" / "quarrytide");

    makeDataSet(program.parent_path());
    EXPECT_EQ(findDataDirectory(program, elsewhere), program.parent_path());

    makeDataSet(elsewhere);
    EXPECT_EQ(findDataDirectory(program, elsewhere), elsewhere);
}

// A folder that merely has the subfolder, or a folder in place of the file, is not a data set.
TEST(DataDirectory, NeedsThePropertyFileItself)
{
    testsupport::TempDir root;
    const std::filesystem::path program = root.path() / "bin" / "quarrytide";
    std::filesystem::create_directories(root.path() / "share" / "quarrytide" / "properties" / "default.uprop");
    std::filesystem::create_directories(program.parent_path() / "properties");
    EXPECT_EQ(findDataDirectory(program, root.path()), std::filesystem::path());
}
