#pragma once

// Which face a bold text is drawn in. Some faces have a bold that draws no heavier than their regular
// (Wine's own Tahoma Bold above 12 pixels): their bold texts take another face whose bold shows. That
// face must have a glyph for every character of the texts it draws, or they draw as empty boxes: a face
// swap that system font linking covered for the regular face is not covered for the other one.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace nimbrel {

// What the system's glyph look-up gives, with missing glyphs marked, for a character the face lacks.
inline constexpr std::uint16_t kMissingGlyph = 0xFFFF;

// Every glyph of a text's look-up was found.
[[nodiscard]] bool GlyphsCoverText(std::span<const std::uint16_t> glyphs);

// The common faces tried, in order, when a face's bold does not show: the Latin user-interface faces,
// then one that has the Chinese characters of the program's texts.
[[nodiscard]] std::span<const wchar_t* const> BoldSubstituteFaces();

struct BoldFaceTests {
  std::function<bool(std::wstring_view face)> boldShows;  // the face's bold draws heavier than its regular
  std::function<bool(std::wstring_view face)> covers;     // the face has every character of the text
};

// The face for the bold of baseFace: baseFace where its bold shows; else the first of candidates whose
// bold shows and which covers the text; else baseFace, which the system then draws as bold as it can.
[[nodiscard]] std::wstring ChooseBoldFace(std::wstring_view baseFace,
                                          std::span<const wchar_t* const> candidates,
                                          const BoldFaceTests& tests);

}  // namespace nimbrel
