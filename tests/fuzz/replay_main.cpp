// Replays fuzz inputs through a fuzz target without libFuzzer: every file
// under the folders given on the command line is read into an exactly sized
// heap block and handed to the target, so sanitizers see any over-read.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

int main(int argc, char** argv)
{
    size_t Count = 0;
    for (int I = 1; I < argc; ++I) {
        std::filesystem::path Root(argv[I]);
        if (!std::filesystem::exists(Root))
            continue;
        std::vector<std::filesystem::path> Files;
        if (std::filesystem::is_directory(Root)) {
            for (const auto& Entry : std::filesystem::recursive_directory_iterator(Root))
                if (Entry.is_regular_file())
                    Files.push_back(Entry.path());
        } else {
            Files.push_back(Root);
        }
        for (const auto& File : Files) {
            std::ifstream In(File, std::ios::binary);
            std::vector<char> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
            auto Block = std::make_unique<uint8_t[]>(Bytes.size() ? Bytes.size() : 1);
            std::copy(Bytes.begin(), Bytes.end(), Block.get());
            LLVMFuzzerTestOneInput(Block.get(), Bytes.size());
            ++Count;
        }
    }
    std::printf("replayed %zu inputs\n", Count);
    return 0;
}
