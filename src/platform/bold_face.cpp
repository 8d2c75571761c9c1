#include "platform/bold_face.h"

#include <algorithm>

namespace nimbrel {

bool GlyphsCoverText(std::span<const std::uint16_t> glyphs) {
  return std::none_of(glyphs.begin(), glyphs.end(), [](std::uint16_t g) { return g == kMissingGlyph; });
}

std::span<const wchar_t* const> BoldSubstituteFaces() {
  static constexpr const wchar_t* kFaces[] = {L"Segoe UI", L"Arial", L"Microsoft Sans Serif",
                                              L"Microsoft YaHei", L"SimHei"};
  return kFaces;
}

std::wstring ChooseBoldFace(std::wstring_view baseFace, std::span<const wchar_t* const> candidates,
                            const BoldFaceTests& tests) {
  if (tests.boldShows(baseFace)) return std::wstring(baseFace);
  for (const wchar_t* face : candidates)
    if (tests.covers(face) && tests.boldShows(face)) return face;
  return std::wstring(baseFace);
}

}  // namespace nimbrel
