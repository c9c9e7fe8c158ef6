// Writes the UTF-16 form of a registry script (FF FE, then each character as two bytes, low first),
// as the registry editor saves it.
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    const std::string script = "Windows Registry Editor Version 5.00\r\n\r\n"
                               "[HKEY_CURRENT_USER\\Software\\Vantrel\\Quarrytide]\r\n"
                               "\"lookandfeel\"=\"NORMAL\"\r\n"
                               "\"sfxvolume\"=dword:000000ff\r\n";
    std::ofstream out(std::string(argv[1]) + "/utf16.reg", std::ios::binary);
    out << '\xFF' << '\xFE';
    for (char c : script)
        out << c << '\0';
    return out ? 0 : 1;
}
