// The text operations at any input: results stay inside their texts and
// keep the promises the callers build on.
#include "fuzz/FuzzInput.h"
#include "platform/StrCon.h"

using namespace cv;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto parts = fuzz::Parts(data, size);
    const std::string& text = parts[0];
    const std::string sub = parts.size() > 1 ? parts[1] : "=";
    const std::string repl = parts.size() > 2 ? parts[2] : "";
    const std::size_t start = parts.size() > 3 ? parts[3].size() : 0;
    const TStringCollection& s = StrCon();

    const std::size_t pos = s.PosFrom(sub, text, false, start);
    fuzz::Check(pos == 0 ||
                (pos >= std::max<std::size_t>(start, 1) && text.compare(pos - 1, sub.size(), sub) == 0));
    const std::size_t last = s.LastPos(sub, text, false);
    fuzz::Check(last == 0 || text.compare(last - 1, sub.size(), sub) == 0);
    fuzz::Check(s.PosFrom(sub, text, true, start) <= text.size() * 3 + 1);
    fuzz::Check(s.TextBefore(sub, text, 0).size() <= text.size());
    fuzz::Check(text.rfind(s.TextAfter(sub, text, 0)) != std::string::npos);
    for (int n = 0; n < 4; ++n) {
        fuzz::Check(text.rfind(s.TextBeforeNth(sub, text, n), 0) == 0);
    }
    // Every non-overlapping occurrence is replaced once, and nothing else changes length.
    const std::string replaced = s.ReplaceAll(sub, repl, text);
    std::size_t occurrences = 0;
    for (std::size_t at = sub.empty() ? std::string::npos : text.find(sub); at != std::string::npos;
         at = text.find(sub, at + sub.size())) {
        ++occurrences;
    }
    fuzz::Check(replaced.size() + occurrences * sub.size() == text.size() + occurrences * repl.size());
    fuzz::Check(!sub.empty() || replaced == text);
    const std::string collapsed = s.CollapseChar(text, ' ');
    fuzz::Check(collapsed.find("  ") == std::string::npos);
    fuzz::Check(collapsed.empty() || (collapsed.front() != ' ' && collapsed.back() != ' '));
    fuzz::Check(s.SameTextCollapsed(text, collapsed, ' '));
    fuzz::Check(s.RemoveChars(text, sub).find_first_of(sub) == std::string::npos);
    fuzz::Check(s.IncludeBackslash(text).empty() == text.empty());
    return 0;
}
