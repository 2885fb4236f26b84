#include "Sentence.h"

namespace velk {

std::string fill(std::string_view sentence, std::initializer_list<Filling> values) {
    std::string out;
    out.reserve(sentence.size());
    std::size_t at = 0;
    while (at < sentence.size()) {
        const std::size_t open = sentence.find('{', at);
        const std::size_t close = open == std::string_view::npos ? open : sentence.find('}', open);
        if (close == std::string_view::npos) {
            out += sentence.substr(at);
            break;
        }
        out += sentence.substr(at, open - at);
        const std::string_view name = sentence.substr(open + 1, close - open - 1);
        const Filling* found = nullptr;
        for (const Filling& v : values)
            if (v.first == name)
                found = &v;
        out += found ? found->second : sentence.substr(open, close - open + 1);
        at = close + 1;
    }
    return out;
}

} // namespace velk
