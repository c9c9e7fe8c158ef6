// Writes small package archives: a plain one, one whose files have no folder entries, and one with
// names that try to leave the package folder.
#include <zip.h>

#include <string>
#include <utility>
#include <vector>

namespace {

bool writeArchive(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries)
{
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    for (const auto& [name, content] : entries) {
        if (zipOpenNewFileInZip64(zip, name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                  Z_DEFAULT_COMPRESSION, 0) != ZIP_OK)
            return false;
        if (!content.empty())
            zipWriteInFileInZip(zip, content.data(), static_cast<unsigned>(content.size()));
        zipCloseFileInZip(zip);
    }
    return zipClose(zip, nullptr) == ZIP_OK;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    const std::string folder = argv[1];
    bool ok = writeArchive(folder + "/plain.zip", {{"index.html", "<html><body>Quarrytide</body></html>"},
                                                   {"img/", ""},
                                                   {"img/logo.png", "not a png"}});
    ok = writeArchive(folder + "/no-folders.zip", {{"index.html", "<html/>"}, {"a/b/c.txt", "deep"}}) && ok;
    ok = writeArchive(folder + "/hostile.zip",
                      {{"../up.txt", "x"}, {"/abs.txt", "x"}, {"C:drive.txt", "x"}, {"ok\\win.txt", "y"}}) &&
         ok;
    return ok ? 0 : 1;
}
