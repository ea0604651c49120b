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
        width = CharWidth(folded, i, isLeadByte);
        if (width == 1)
            folded[i] = LowerAscii(folded[i]);
    }
    return folded;
}

}  // namespace

std::optional<size_t> ChooseSignInWallpaper(std::span<const std::string> files, std::string_view current,
                                            uint32_t random, const LeadBytePredicate& isLeadByte)
{
    std::vector<size_t> candidates;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& file = files[i];
        if (LowerExtension(file, isLeadByte) == ".jpg" && file.find_first_of("\r\n") == std::string::npos)
            candidates.push_back(i);
    }
    if (candidates.empty())
        return std::nullopt;
    const std::string currentFolded = Folded(current, isLeadByte);
    std::vector<size_t> others;
    for (size_t i : candidates)
        if (Folded(files[i], isLeadByte) != currentFolded)
            others.push_back(i);
    // One file only, or every one the current file (names differing only in case, on a
    // file system that tells them apart): setting it again is the best there is.
    const std::vector<size_t>& pool = others.empty() ? candidates : others;
    return pool[random % pool.size()];
}

std::string LogLine(std::string_view date, std::string_view message)
{
    std::string text = ErrorBoxText(message);
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return std::string(date) + " " + text + "\r\n";
}

std::string AppendLogLine(std::string_view log, std::string_view line, size_t cap)
{
    const size_t half = cap / 2;
    line = line.substr(0, std::min(line.size(), half));
    if (log.size() + line.size() > cap) {
        // Here the log is longer than half of cap: keep its newest half, from the first
        // line that starts inside it.
        std::string_view tail = log.substr(log.size() - half);
        if (log[log.size() - half - 1] != '\n') {
            const size_t next = tail.find('\n');
            tail = next == std::string_view::npos ? std::string_view() : tail.substr(next + 1);
        }
        log = tail;
    }
    return std::string(log) + std::string(line);
}

}  // namespace veld
