#include "XLSStream.h"

#include "model/Exception.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void ThrowFileError(const std::string& FileName, int Error)
{
    throw Exception("Cannot open file \"" + FileName + "\": " + std::strerror(Error));
}

// Owns a POSIX descriptor for the length of one read.
class TFileHandle {
public:
    explicit TFileHandle(int Fd) : FFd(Fd) {}
    ~TFileHandle()
    {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

std::vector<uint8_t> ReadWholeFile(const std::string& FileName)
{
    int Fd;
    do
        Fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    while (Fd < 0 && errno == EINTR);
    if (Fd < 0)
        ThrowFileError(FileName, errno);
    TFileHandle File(Fd);
    struct stat Info;
    if (::fstat(Fd, &Info) != 0)
        ThrowFileError(FileName, errno);
    if (S_ISDIR(Info.st_mode))
        ThrowFileError(FileName, EISDIR);
    // StreamSize is 32-bit; no workbook comes near that.
    if (S_ISREG(Info.st_mode) && Info.st_size > INT32_MAX)
        throw Exception(StrFmt("File \"%s\" is too large (%lld bytes)", FileName.c_str(),
                               static_cast<long long>(Info.st_size)));

    // Read straight into a buffer of the file's size. A file that grows
    // meanwhile (or has no size, like a pipe) is followed to its real end:
    // a small probe read tells whether anything follows before growing.
    std::vector<uint8_t> Bytes(S_ISREG(Info.st_mode) ? static_cast<size_t>(Info.st_size) : 0);
    size_t Have = 0;
    auto ReadSome = [&](uint8_t* Into, size_t Count) {
        for (;;) {
            const ssize_t Got = ::read(Fd, Into, Count);
            if (Got >= 0)
                return static_cast<size_t>(Got);
            if (errno != EINTR)
                throw Exception("Cannot read file \"" + FileName + "\": " + std::strerror(errno));
        }
    };
    for (;;) {
        if (Have == Bytes.size()) {
            uint8_t Probe[4096];
            const size_t Got = ReadSome(Probe, sizeof Probe);
            if (Got == 0)
                break;
            if (Bytes.size() + Got > static_cast<size_t>(INT32_MAX))
                throw Exception("File \"" + FileName + "\" is too large");
            Bytes.resize(std::min<size_t>(std::max(Bytes.size() * 2, Bytes.size() + 65536), INT32_MAX));
            std::memcpy(Bytes.data() + Have, Probe, Got);
            Have += Got;
            continue;
        }
        const size_t Got = ReadSome(Bytes.data() + Have, Bytes.size() - Have);
        if (Got == 0)
            break;
        Have += Got;
    }
    Bytes.resize(Have);
    return Bytes;
}

} // namespace

TExcelVersion TXLSStream::OpenRead(const std::string& FileName)
{
    Close();
    return OpenBytes(ReadWholeFile(FileName));
}

TExcelVersion TXLSStream::OpenBytes(std::vector<uint8_t> Bytes)
{
    Close();
    // One read of the whole file serves both kinds of input.
    if (TCompoundFile::IsCompoundData(Bytes)) {
        TCompoundFile File;
        File.OpenMemory(std::move(Bytes));
        return OpenCompound(File);
    }
    if (Bytes.size() > static_cast<size_t>(INT32_MAX))
        throw Exception("File is too large");
    FData = std::move(Bytes);
    return DetectPlain();
}

TExcelVersion TXLSStream::OpenWorkbookStream(std::vector<uint8_t> Bytes, TExcelVersion Version)
{
    Close();
    if (Bytes.size() > static_cast<size_t>(INT32_MAX))
        throw Exception("the stream is too large");
    FData = std::move(Bytes);
    FOpen = true;
    StreamSize = static_cast<int32_t>(FData.size());
    return Version;
}

TExcelVersion TXLSStream::DetectPlain()
{
    FOpen = true;
    FPos = 0;
    StreamSize = static_cast<int32_t>(FData.size());
    if (FData.size() < 4 || FData[0] != 0x09)
        return xvNone;
    switch (FData[1]) {
    case 0x00:
        return xvExcel21;
    case 0x02:
        return xvExcel30;
    case 0x04:
        return xvExcel40;
    default:
        return xvNone;
    }
}

TExcelVersion TXLSStream::OpenCompound(TCompoundFile& File)
{
    FCompound = true;
    const TStorageElement* Book = nullptr;
    const TStorageElement* Workbook = nullptr;
    for (const TStorageElement& Element : File.RootElements()) {
        if (Element.Name == "Book")
            Book = &Element;
        else if (Element.Name == "Workbook")
            Workbook = &Element;
        else if (Element.Type == TStorageElementType::Storage && PreserveMacros && ExtraObjects)
            ExtraObjects->push_back(File.CopyStorage(Element.Name));
    }
    if (!Book && !Workbook)
        throw Exception("File is not a Excel Workbook");
    const TStorageElement& Chosen = Workbook ? *Workbook : *Book;
    FStreamName = Chosen.Name;
    FOpen = true;
    FPos = 0;
    try {
        if (Chosen.Type != TStorageElementType::Stream)
            throw Exception("\"" + Chosen.Name + "\" is a storage, not a stream");
        FData = File.ReadStream(Chosen.Name);
        if (FData.size() > static_cast<size_t>(INT32_MAX))
            throw Exception("the stream is too large");
    } catch (const Exception& E) {
        // The version is then xvNone and there is nothing to read; the reader
        // reports StreamError instead of walking an empty stream.
        FData.clear();
        FStreamError = E.what();
        StreamSize = 0;
        return xvNone;
    }
    StreamSize = static_cast<int32_t>(FData.size());
    return Workbook ? xvExcel97 : xvExcel50;
}

int TXLSStream::Read(void* Buffer, int Count)
{
    if (Count <= 0)
        return 0;
    const auto Bytes = ReadSpan(static_cast<size_t>(Count));
    if (!Bytes.empty())
        std::memcpy(Buffer, Bytes.data(), Bytes.size());
    return static_cast<int>(Bytes.size());
}

int64_t TXLSStream::Seek(int32_t Offset, uint16_t Origin)
{
    int64_t Base;
    switch (Origin) {
    case 0:
        Base = 0;
        break;
    case 1:
        Base = static_cast<int64_t>(FPos);
        break;
    case 2:
        Base = static_cast<int64_t>(FData.size());
        break;
    default:
        throw Exception(StrFmt("Invalid seek origin %d", Origin));
    }
    const int64_t Target = Base + Offset;
    if (Target < 0)
        throw Exception(StrFmt("Seek to %lld is before the start of the stream", static_cast<long long>(Target)));
    FPos = static_cast<size_t>(Target);
    return Target;
}

void TXLSStream::Close()
{
    FData.clear();
    FData.shrink_to_fit();
    FPos = 0;
    FOpen = false;
    FCompound = false;
    FStreamError.clear();
    FStreamName.clear();
}
