#include "runtime/streams/DataWriterFacade.h"

#include "runtime/GameException.h"
#include "runtime/streams/BinaryDataWriter.h"
#include "runtime/streams/TextDataWriter.h"

DataWriterFacade::DataWriterFacade(int form)
{
    if (form == 0)
        inner = std::make_unique<TextDataWriter>();
    else if (form == 1)
        inner = std::make_unique<BinaryDataWriter>();
    else
        throw GameTextException(0, "ERROR: Unknown data stream form.\n");
}
