// Writes scrambled XML documents as seeds for the scrambled-document fuzz target.
#include "runtime/scramble/ScrambleTable.h"

#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 1;
    const char* documents[] = {
        "<?xml version=\"1.0\" ?>\n<game mode=\"CLASSIC\" level=\"3\">\n    <row>1 2 3</row>\n    <!-- c -->\n"
        "    <player name=\"a&amp;b\" score=\"120\"/>\n</game>\n",
        "<root><String id=\"TEXT\">Hello\\nWorld</String><Point id=\"P\" x=\"1\" y=\"2\"/>"
        "<![CDATA[raw <data>]]></root>",
        "<a><b><c><d/></c></b></a>",
        // Damaged endings that once made the parser step past the end of its copy: an unclosed
        // attribute ending in the lead byte of a three-byte character, an unfinished entity.
        "<?xml ver=\"1.0\" ?>\n<game mode=\"CLASSIC gold \xE6~",
        "<?xml version=\"1.0\" ?>\n<game>gold &#x",
    };
    int n = 0;
    for (std::string text : documents) {
        scrambleBuffer(reinterpret_cast<unsigned char*>(text.data()), text.size());
        std::ofstream(std::string(argv[1]) + "/seed" + std::to_string(n++), std::ios::binary) << text;
    }
    return 0;
}
