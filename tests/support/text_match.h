#pragma once
// Predicates for checking messages and reports with EXPECT_PRED2, which
// prints both texts when a check fails.
#include <regex>
#include <string>

namespace mx::test {

inline bool StartsWith(const std::string& text, const std::string& start) { return text.starts_with(start); }
inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
// The whole text matches the (ECMAScript) pattern.
inline bool MatchesWholly(const std::string& text, const std::string& pattern) {
    return std::regex_match(text, std::regex(pattern));
}

} // namespace mx::test
