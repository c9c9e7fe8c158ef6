// Seeds for the font text target: settings, pen, cell size, then text (and after a zero byte, a
// character file), one per layout and drawing mode.
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    using namespace std::string_literals;
    const std::pair<const char*, std::string> seeds[] = {
        {"single_byte", "\x00\x04\x02\x0d\x0d"s + "ab c\nca^ab"},
        {"colour_markup", "\x04\xfe\x01\x0d\x0d"s + "a^FF00FF00^b c^80FFFFFF^a"},
        {"hidden_markup", "\x08\x00\x00\x0d\x0d"s + "a^hidden^b^unclosed"},
        {"double_byte_compressed", "\x03\x02\x02\x0d\x0d"s + "\xb0\xa1" "A b\xa1\xa3\xb0" + '\0' + "\xb0\xa1 3\n\xb0\xa2 542\n"},
        {"mask_mode", "\x0c\x00\x00\x0d\x0d"s + "abcab"},
    };
    for (const auto& [name, bytes] : seeds) {
        std::ofstream out(std::string(argv[1]) + "/" + name, std::ios::binary);
        out << bytes;
        if (!out)
            return 1;
    }
    return 0;
}
