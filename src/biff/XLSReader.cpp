#include "XLSReader.h"

#include "model/Exception.h"
#include "model/Tabulon.h"

#include <fstream>

TXLSReader::TXLSReader(TTabulon& Owner) : FOwner(Owner) {}

TXLSReader::~TXLSReader() = default;

void TXLSReader::Read()
{
    std::ifstream File(FOwner.Filename, std::ios::binary);
    if (!File)
        throw Exception("Cannot open file \"" + FOwner.Filename + "\"");
}
