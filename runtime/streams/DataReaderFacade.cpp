#include "runtime/streams/DataReaderFacade.h"

#include "runtime/GameException.h"
#include "runtime/streams/BinaryDataReader.h"
#include "runtime/streams/TextDataReader.h"

DataReaderFacade::DataReaderFacade(int form)
{
    if (form == 0)
        inner = std::make_unique<TextDataReader>();
    else if (form == 1)
        inner = std::make_unique<BinaryDataReader>();
    else
        throw GameTextException(0, "ERROR: Unknown data stream form.\n");
}
