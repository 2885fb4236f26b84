#include "TextFit.h"

#include <vector>

namespace velk {

namespace {

constexpr const char* ellipsis = "\xE2\x80\xA6";

/// Where each character starts, so that no character is cut in two.
std::vector<std::size_t> characterStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    return starts;
}

} // namespace

std::string elideMiddle(const std::string& text,
                        const std::function<bool(const std::string&)>& fits) {
    if (fits(text))
        return text;
    const std::vector<std::size_t> starts = characterStarts(text);
    const auto without = [&](std::size_t dropped) {
        const std::size_t kept = starts.size() - dropped;
        const std::size_t head = kept / 2;
        const std::size_t tail = kept - head;
        const std::size_t tailStart = tail == 0 ? text.size() : starts[starts.size() - tail];
        return text.substr(0, head == starts.size() ? text.size() : starts[head]) + ellipsis +
               text.substr(tailStart);
    };
    // Dropping every character leaves the ellipsis alone, the least there is to show.
    std::size_t enough = starts.size();
    std::size_t tooFew = 0;
    while (enough - tooFew > 1) {
        const std::size_t dropped = tooFew + (enough - tooFew) / 2;
        if (fits(without(dropped)))
            enough = dropped;
        else
            tooFew = dropped;
    }
    return without(enough);
}

double fittingPointSize(const FontSteps& steps, int width,
                        const std::function<int(double points)>& widestAt) {
    double points = steps.largest;
    while (points - steps.step >= steps.smallest && widestAt(points) > width)
        points -= steps.step;
    return points;
}

} // namespace velk
