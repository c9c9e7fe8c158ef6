#include "SeedFile.h"

#include "runtime/properties/Properties.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    Properties config;
    config.setString("cfgversion", "1.1.0");
    config.setString("currentplayer", "Ann");
    config.setInt("firstplay", 0);
    config.setFloat("volume", 0.5f);
    config.defineChild("players");
    Properties* players = config.getChild("players");
    players->defineChild("Ann");
    players->getChild("Ann")->setInt("score", 1200);
    players->getChild("Ann")->setString("a name", "x");
    fuzzseeds::writeSeed(argv[1], "config", [&](DataWriter& w) { config.write(w); });

    Properties empty;
    fuzzseeds::writeSeed(argv[1], "empty", [&](DataWriter& w) { empty.write(w); });
    return 0;
}
