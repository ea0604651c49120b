#include "core/SignIn.h"

#include "core/Error.h"
#include "core/Texts.h"
#include "LeadBytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace veld {
namespace {

// The first file of the sign-in order for one random number, as the first pick draws it.
std::optional<size_t> First(const std::vector<std::string>& files, const std::string& current, uint32_t random,
                            const LeadBytePredicate& isLeadByte, std::optional<bool> sameFolder = std::nullopt)
{
    const std::vector<size_t> order = SignInOrder(
        files, current, sameFolder, [random] { return random; }, isLeadByte);
    return order.empty() ? std::nullopt : std::optional(order.front());
}

std::string Upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
    return text;
}

TEST(SignInChoice, EveryFolderEveryCurrentFileEveryNumber)
{
    struct Entry {
        std::string path;
        bool counts;  // a .jpg the wallpaper call converts, storable as DefaultWP
    };
    const Entry pool[] = {
        {"C:\\V\\1024x768\\a.jpg", true},   {"C:\\V\\1024x768\\B.JPG", true},
        {"C:\\V\\1024x768\\c.Jpg", true},   {"C:\\V\\1024x768\\d.jpeg", false},
        {"C:\\V\\1024x768\\g.jpgx", false}, {"C:\\V\\1024x768\\h.jpg.txt", false},
        {"C:\\V\\1024x768\\e.bmp", false},  {"C:\\V\\1024x768\\line\r\nbreak.jpg", false},
    };
    constexpr size_t kPool = std::size(pool);
    for (unsigned subset = 0; subset < (1u << kPool); ++subset) {
        std::vector<std::string> files;
        std::vector<bool> counts;
        for (size_t i = 0; i < kPool; ++i)
            if (subset & (1u << i)) {
                files.push_back(pool[i].path);
                counts.push_back(pool[i].counts);
            }
        // The current file as DefaultWP may spell it: not at all, exactly, in other
        // letter case, or a file elsewhere; where the folders could be asked, in another
        // spelling of their folder, or the same spelling of what is now another folder.
        std::vector<std::tuple<std::string, int, std::optional<bool>>> currents{
            {"", -1, std::nullopt}, {"C:\\V\\800x600\\a.jpg", -1, std::nullopt}};
        for (size_t i = 0; i < files.size(); ++i) {
            currents.emplace_back(files[i], static_cast<int>(i), std::nullopt);
            currents.emplace_back(Upper(files[i]), static_cast<int>(i), std::nullopt);
            currents.emplace_back("Z:\\W\\" + Upper(files[i].substr(14)), static_cast<int>(i), true);
            currents.emplace_back(files[i], -1, false);
        }
        for (const auto& [current, named, sameFolder] : currents) {
            std::vector<size_t> eligible, candidates;
            for (size_t i = 0; i < files.size(); ++i)
                if (counts[i]) {
                    candidates.push_back(i);
                    if (static_cast<int>(i) != named)
                        eligible.push_back(i);
                }
            if (eligible.empty())
                eligible = candidates;
            const std::string what = "subset " + std::to_string(subset) + ", current '" + current + "' " +
                                     (sameFolder ? std::to_string(*sameFolder) : "-");
            if (candidates.empty()) {
                for (uint32_t random : {0u, 1u, 0xFFFFFFFFu})
                    EXPECT_FALSE(First(files, current, random, NoLeadBytes, sameFolder)) << what;
                continue;
            }
            // Each file that counts is tried once, the current one only after every other.
            uint32_t next = 7;
            const std::vector<size_t> order = SignInOrder(
                files, current, sameFolder, [&next] { return next = next * 1103515245u + 12345u; }, NoLeadBytes);
            EXPECT_EQ(std::set<size_t>(order.begin(), order.end()),
                      std::set<size_t>(candidates.begin(), candidates.end()))
                << what;
            EXPECT_EQ(order.size(), candidates.size()) << what;
            if (named >= 0 && counts[static_cast<size_t>(named)])
                EXPECT_EQ(order.back(), static_cast<size_t>(named)) << what;
            // Over any run of numbers every eligible file comes up first equally often.
            std::map<size_t, int> seen;
            const uint32_t rounds = 3 * static_cast<uint32_t>(eligible.size());
            for (uint32_t random = 0; random < rounds; ++random) {
                const auto chosen = First(files, current, 0x7FFFFFF0u + random, NoLeadBytes, sameFolder);
                ASSERT_TRUE(chosen) << what;
                ++seen[*chosen];
            }
            std::map<size_t, int> even;
            for (size_t i : eligible)
                even[i] = 3;
            EXPECT_EQ(seen, even) << what;
        }
    }
}

TEST(SignInChoice, TrailBytesAreNotFoldedLikeLetters)
{
    // Shift-JIS 0x82 0x61 and 0x82 0x41 are two characters whose trail bytes are 'a' and 'A'.
    const std::vector<std::string> files{"C:\\V\\\x82\x61.jpg", "C:\\V\\\x82\x41.jpg"};
    for (uint32_t random = 0; random < 4; ++random) {
        EXPECT_EQ(First(files, files[0], random, CodePage932LeadByte), 1u);
        EXPECT_EQ(First(files, files[1], random, CodePage932LeadByte), 0u);
    }
}

TEST(SignInLog, DatedLinesAndTheNewerHalfWhenFull)
{
    EXPECT_EQ(LogLine("2026-12-07 08:15:02", "Nummer 53"), "2026-12-07 08:15:02 Nummer 53.\r\n");
    EXPECT_EQ(LogLine("2026-12-07 08:15:02", "Datei C:\\a\r\nb.jpg fehlt. Zugriff verweigert\r\n"),
              "2026-12-07 08:15:02 Datei C:\\a  b.jpg fehlt. Zugriff verweigert.\r\n");
    // A file passed over is named with its reason in plain words.
    const std::string passedOver = texts::PassedOver(L"kaputt.jpg", texts::JpegReason(53)).Plain();
    EXPECT_EQ(LogLine("2026-12-07 08:15:02", passedOver), "2026-12-07 08:15:02 " + passedOver + "\r\n");

    EXPECT_EQ(AppendLogLine("", "one\r\n", 16), "one\r\n");
    EXPECT_EQ(AppendLogLine("0123456789\r\n", "ab\r\n", 16), "0123456789\r\nab\r\n");  // exactly full
    EXPECT_EQ(AppendLogLine("aa\r\nbb\r\ncc\r\ndd\r\n", "eeeeee\r\n", 16), "cc\r\ndd\r\neeeeee\r\n");
    EXPECT_EQ(AppendLogLine("aa\r\nbbbbbbbbbbbbb\r\n", "e\r\n", 16), "e\r\n");  // no line starts in the newer half
    EXPECT_EQ(AppendLogLine("junk without any line break", "e\r\n", 16), "e\r\n");
    EXPECT_EQ(AppendLogLine("cut off", "e\r\n", 16), "cut off\r\ne\r\n");  // a line of its own
    EXPECT_EQ(AppendLogLine("", "a line longer than half\r\n", 16), "a line l");

    // A thousand failures at the real cap: never over 64 KB, always whole lines, the
    // newest last.
    constexpr size_t kCap = 64 * 1024;
    std::string log;
    for (int i = 0; i < 1000; ++i) {
        const std::string line =
            LogLine("2026-12-07 08:15:02", "Fehler " + std::to_string(i) + std::string(i % 97, 'x'));
        log = AppendLogLine(log, line, kCap);
        ASSERT_LE(log.size(), kCap);
        ASSERT_EQ(log.rfind("2026-12-07", 0), 0u) << i;
        ASSERT_TRUE(log.ends_with(line)) << i;
    }
    EXPECT_GT(log.size(), kCap / 2);
}

}  // namespace
}  // namespace veld
