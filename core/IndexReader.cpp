#include "IndexReader.h"

#include "Sentence.h"
#include "Texts.h"

namespace velk {

namespace {

constexpr std::size_t recordSize = 14;
constexpr std::size_t nameSize = 12;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "M00000" + 01 to 20 + ".MP3": the names the programming run gives slots 1 to 20.
bool isCardFileName(const std::string& name) {
    if (name.size() != nameSize || !name.starts_with("M00000") || !name.ends_with(".MP3"))
        return false;
    if (!isDigit(name[6]) || !isDigit(name[7]))
        return false;
    const int slot = (name[6] - '0') * 10 + (name[7] - '0');
    return slot >= 1 && slot <= 20;
}

// A name made of stray bytes is shown with its unprintable ones as '?'.
std::string printable(const std::string& name) {
    std::string shown = name;
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            c = '?';
    return shown;
}

IndexContent refuse(std::string reason) {
    return {{}, std::move(reason)};
}

std::string bytesText(std::size_t n) {
    return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

} // namespace

IndexContent parseIndex(const std::vector<std::uint8_t>& bytes) {
    const std::size_t size = bytes.size();
    if (size == 0)
        return refuse(text::indexEmpty);
    // No tracks is the count as a 16-bit integer: two zero bytes and nothing else.
    if (size == 2 && bytes[0] == 0 && bytes[1] == 0)
        return {};
    // A lone count byte is neither the two-byte empty index nor one with records.
    if (size == 1 || (size - 1) % recordSize != 0)
        return refuse(fill(text::indexLength, {{"length", bytesText(size)}}));

    const std::size_t records = (size - 1) / recordSize;
    const std::size_t count = bytes[0];
    if (count != records)
        return refuse(fill(text::indexCount, {{"count", std::to_string(count)},
                                              {"records", std::to_string(records)}}));

    IndexContent content;
    for (std::size_t i = 1; i <= records; ++i) {
        const std::size_t at = 1 + recordSize * (i - 1);
        IndexRecord r;
        r.trackNo = bytes[at];
        r.playMode = bytes[at + 1];
        r.cardName.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 2),
                          bytes.begin() + static_cast<std::ptrdiff_t>(at + 2 + nameSize));
        const std::string track = std::to_string(i);
        if (r.trackNo != i)
            return refuse(fill(text::indexNumbered,
                               {{"track", track}, {"number", std::to_string(r.trackNo)}}));
        if (r.playMode > 2)
            return refuse(
                fill(text::indexMode, {{"track", track}, {"mode", std::to_string(r.playMode)}}));
        if (!isCardFileName(r.cardName))
            return refuse(
                fill(text::indexName, {{"track", track}, {"name", printable(r.cardName)}}));
        content.records.push_back(std::move(r));
    }
    return content;
}

} // namespace velk
