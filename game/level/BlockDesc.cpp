#include "game/level/BlockDesc.h"

const ClassRecord BlockDesc::classRecord("BlockDesc", nullptr);
