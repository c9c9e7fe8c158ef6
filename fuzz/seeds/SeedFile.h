// Seed programs write their files with a binary writer into the corpus folder they are given.
#pragma once

#include "runtime/streams/BinaryDataWriter.h"

#include <functional>
#include <string>

namespace fuzzseeds {

inline void writeSeed(const char* folder, const std::string& name, const std::function<void(DataWriter&)>& write)
{
    BinaryDataWriter writer;
    writer.open(std::string(folder) + "/" + name);
    write(writer);
    writer.close();
}

} // namespace fuzzseeds
