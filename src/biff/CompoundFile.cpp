#include "CompoundFile.h"

#include "model/Exception.h"

#include <cstring>
#include <fstream>

// Placeholder until the container reader lands: recognises the signature only.
struct TCompoundFile::TImpl {
    std::vector<TStorageElement> Elements;
};

namespace {
constexpr uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
}

TCompoundFile::TCompoundFile() : FImpl(std::make_unique<TImpl>()) {}
TCompoundFile::~TCompoundFile() = default;

bool TCompoundFile::IsCompoundData(std::span<const uint8_t> Data)
{
    return Data.size() >= 8 && std::memcmp(Data.data(), Signature, 8) == 0;
}

bool TCompoundFile::IsCompoundFile(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    uint8_t Head[8] = {};
    if (!File.read(reinterpret_cast<char*>(Head), 8))
        return false;
    return IsCompoundData(Head);
}

void TCompoundFile::Open(const std::string&)
{
    throw Exception("Compound documents are not supported yet");
}

void TCompoundFile::OpenMemory(std::vector<uint8_t>)
{
    throw Exception("Compound documents are not supported yet");
}

void TCompoundFile::Close()
{
    FImpl->Elements.clear();
}

const std::vector<TStorageElement>& TCompoundFile::RootElements() const
{
    return FImpl->Elements;
}

std::vector<uint8_t> TCompoundFile::ReadStream(const std::string& Name) const
{
    throw Exception("Stream \"" + Name + "\" not found");
}

TStorageCopy TCompoundFile::CopyStorage(const std::string& Name) const
{
    throw Exception("Storage \"" + Name + "\" not found");
}
