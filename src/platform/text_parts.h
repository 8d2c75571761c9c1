#pragma once
// Small text helpers shared by the dialogs and the update check.
#include <functional>
#include <string>
#include <string_view>

namespace nimbrel {

// Without the blanks and control characters on either side.
std::wstring_view TrimBlanksAndControls(std::wstring_view text);

// The first / last n characters (all of them when the text is shorter; none for n <= 0).
std::wstring LeftText(std::wstring_view text, int n);
std::wstring RightText(std::wstring_view text, int n);
// count characters from the 1-based position start, clipped to the text.
std::wstring MidText(std::wstring_view text, int start, int count);
// Every occurrence of separator replaced by joiner; a text without it (or an empty separator) stays.
std::wstring ReplaceSeparator(std::wstring_view text, std::wstring_view separator, std::wstring_view joiner);

// "TMP" and five digits of a random fraction in [0, 1), then the extension (given a "." when it has
// none), in folder; drawn again while exists() says the name is taken. The file is not created.
std::wstring MakeTempFileName(std::wstring_view folder, std::wstring_view extension,
                              const std::function<double()>& random,
                              const std::function<bool(const std::wstring&)>& exists);

}  // namespace nimbrel
