#include "ForeignFormat.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string_view>

namespace {

// Only the start of a file is looked at; markers further in do not count.
constexpr size_t SniffLimit = 4096;

std::string Lower(std::string_view Text)
{
    std::string Result(Text);
    for (char& C : Result)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return Result;
}

bool StartsWith(std::span<const uint8_t> Data, std::string_view Prefix)
{
    return Data.size() >= Prefix.size() && std::memcmp(Data.data(), Prefix.data(), Prefix.size()) == 0;
}

// Text without control characters other than tab, CR, LF and form feed.
bool LooksLikeText(std::string_view Text)
{
    return !Text.empty() && std::none_of(Text.begin(), Text.end(), [](char C) {
        const auto U = static_cast<unsigned char>(C);
        return U < 0x20 && U != '\t' && U != '\r' && U != '\n' && U != '\f';
    });
}

} // namespace

std::string DescribeForeignFormat(std::span<const uint8_t> Data)
{
    if (Data.empty())
        return "the file is empty";
    // Local file header or end of central directory of an empty archive.
    if (StartsWith(Data, "PK\x03\x04") || StartsWith(Data, "PK\x05\x06"))
        return "the file looks like an Office Open XML workbook, .xlsx";

    auto Head = Data.first(std::min(Data.size(), SniffLimit));
    bool Utf16 = false;
    if (StartsWith(Head, "\xEF\xBB\xBF"))
        Head = Head.subspan(3);
    else if (StartsWith(Head, "\xFF\xFE")) {
        Utf16 = true;
        Head = Head.subspan(2);
    }
    std::string Text;
    if (Utf16) {
        // Little-endian UTF-16 as saved by "Unicode Text": keep the ASCII range.
        for (size_t I = 0; I + 1 < Head.size(); I += 2)
            Text.push_back(Head[I + 1] == 0 ? static_cast<char>(Head[I]) : '?');
    } else {
        Text.assign(Head.begin(), Head.end());
    }
    const std::string Low = Lower(Text);
    const size_t First = Low.find_first_not_of(" \t\r\n");
    if (First == std::string::npos)
        return {};
    const std::string_view Start = std::string_view(Low).substr(First);

    if (Start.starts_with("mime-version:") || Low.find("content-type: multipart/related") != std::string::npos)
        return "the file looks like an MHTML web archive";
    if (Low.find("urn:schemas-microsoft-com:office:spreadsheet") != std::string::npos &&
        Low.find("<workbook") != std::string::npos)
        return "the file looks like a SpreadsheetML XML workbook";
    for (const char* Tag : {"<!doctype html", "<html", "<head", "<body", "<table", "<meta"})
        if (Start.starts_with(Tag) || (Start.starts_with("<?xml") && Low.find(Tag) != std::string::npos))
            return "the file looks like an HTML page";
    if (Start.starts_with("<?xml"))
        return "the file looks like an XML document";
    if (!LooksLikeText(Text))
        return {};
    const std::string_view FirstLine = std::string_view(Text).substr(0, Text.find_first_of("\r\n"));
    if (FirstLine.find('\t') != std::string_view::npos)
        return "the file looks like tab-separated text";
    if (FirstLine.find(',') != std::string_view::npos || FirstLine.find(';') != std::string_view::npos)
        return "the file looks like CSV text";
    return "the file looks like plain text";
}
