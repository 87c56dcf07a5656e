#pragma once
// A reader of OLE compound documents (structured storage), hardened for
// hostile input. It is the one place that knows the container format; the
// record stream sees only the workbook stream's bytes.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

enum class TStorageElementType : uint8_t { Storage = 1, Stream = 2 };

struct TStorageElement {
    std::string Name; // UTF-8
    TStorageElementType Type;
    uint64_t Size; // streams: byte count; storages: 0
};

// An in-memory copy of a sub-storage: the subtree of directory entries with
// their streams' bytes, enough to write it back as a storage.
struct TStorageCopy {
    std::string Name; // UTF-8
    std::u16string RawName; // the directory entry's name as stored
    TStorageElementType Type = TStorageElementType::Storage;
    std::vector<uint8_t> Bytes; // streams only
    std::vector<TStorageCopy> Children; // storages only
    uint8_t Clsid[16] = {};
};

class TCompoundFile {
public:
    TCompoundFile();
    ~TCompoundFile();
    TCompoundFile(const TCompoundFile&) = delete;
    TCompoundFile& operator=(const TCompoundFile&) = delete;

    // True when the file starts with the compound-document signature. A
    // missing or unreadable file gives false.
    static bool IsCompoundFile(const std::string& Path);
    static bool IsCompoundData(std::span<const uint8_t> Data);

    // Reads and validates the whole container; throws Exception with a clear
    // message when it is damaged.
    void Open(const std::string& Path);
    void OpenMemory(std::vector<uint8_t> Bytes);
    void Close();

    // The root storage's direct children, in directory order: the in-order
    // walk of the directory's red-black tree, as the platform's
    // structured-storage service enumerates them. A tree that links to an
    // entry twice lists it once.
    const std::vector<TStorageElement>& RootElements() const;
    // The bytes of a stream that is a direct child of the root, by exact
    // (case-sensitive) name; throws Exception when missing or damaged. With
    // two entries of one name, the first listed is read.
    std::vector<uint8_t> ReadStream(const std::string& Name) const;
    // A deep copy of a sub-storage of the root; throws Exception when missing
    // or damaged.
    //
    // A sector read for one stream can never be read for another: in a
    // damaged file whose streams overlap, whichever is read second fails. So
    // read the workbook stream before copying storages, and damage in a
    // macro storage cannot cost the workbook.
    TStorageCopy CopyStorage(const std::string& Name) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
