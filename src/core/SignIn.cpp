#include "core/SignIn.h"

#include "core/Error.h"

#include <algorithm>
#include <vector>

namespace veld {

namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII letters folded; both bytes of a double-byte character stay as they are: its
// trail byte may look like a letter, and folding it would make another character.
std::string Folded(std::string_view text, const LeadBytePredicate& isLeadByte)
{
    std::string folded(text);
    for (size_t i = 0, width = 0; i < folded.size(); i += width) {
        width = CharBytes(folded, i, isLeadByte);
        if (width == 1)
            folded[i] = LowerAscii(folded[i]);
    }
    return folded;
}

}  // namespace

std::vector<size_t> SignInOrder(std::span<const std::string> files, std::string_view current,
                                std::optional<bool> sameFolder, const std::function<uint32_t()>& random,
                                const LeadBytePredicate& isLeadByte)
{
    const auto key = [&](std::string_view path) {
        return Folded(sameFolder ? FileNamePart(path, isLeadByte) : std::string(path), isLeadByte);
    };
    const std::string currentKey = key(current);
    std::vector<size_t> others, currentOnes;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        if (LowerExtension(file, isLeadByte) != ".jpg" || file.find_first_of("\r\n") != std::string::npos)
            continue;
        (sameFolder.value_or(true) && key(file) == currentKey ? currentOnes : others).push_back(i);
    }
    // The current file last: setting it again is the best there is when every other
    // one fails (or there is no other, or every name differs from it only in case, on a
    // file system that tells them apart).
    std::vector<size_t> order;
    for (std::vector<size_t>* pool : {&others, &currentOnes}) {
        while (!pool->empty()) {
            const size_t pick = random() % pool->size();
            order.push_back((*pool)[pick]);
            pool->erase(pool->begin() + static_cast<std::ptrdiff_t>(pick));
        }
    }
    return order;
}

std::string LogLine(std::string_view date, std::string_view message)
{
    // Windows-1252 already, so the program's words as far as the rule goes.
    std::string text = ErrorBoxText(std::string(message)).Plain();
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return std::string(date) + " " + text + "\r\n";
}

std::string AppendLogLine(std::string_view log, std::string_view line, size_t cap)
{
    const size_t half = cap / 2;
    line = line.substr(0, std::min(line.size(), half));
    // A log that ends inside a line (cut off, or written by hand) gets that line ended:
    // the new one starts on a line of its own.
    std::string ended(log);
    if (!ended.empty() && ended.back() != '\n')
        ended += "\r\n";
    std::string_view whole = ended;
    if (whole.size() + line.size() > cap) {
        // Here the log is longer than half of cap: keep its newest half, from the first
        // line that starts inside it.
        std::string_view tail = whole.substr(whole.size() - half);
        if (whole[whole.size() - half - 1] != '\n') {
            const size_t next = tail.find('\n');
            tail = next == std::string_view::npos ? std::string_view() : tail.substr(next + 1);
        }
        whole = tail;
    }
    return std::string(whole) + std::string(line);
}

}  // namespace veld
