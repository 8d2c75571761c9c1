#include "platform/bold_face.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace nimbrel {
namespace {

TEST(GlyphsCoverTextTest, AnyMissingGlyphFails) {
  const std::vector<std::uint16_t> found = {3, 57, 1200};
  const std::vector<std::uint16_t> oneMissing = {3, kMissingGlyph, 1200};
  EXPECT_TRUE(GlyphsCoverText(found));
  EXPECT_FALSE(GlyphsCoverText(oneMissing));
  EXPECT_TRUE(GlyphsCoverText({}));
}

struct FaceCase {
  const char* name;
  std::set<std::wstring> boldShows;
  std::set<std::wstring> covers;
  const wchar_t* expected;
};

TEST(ChooseBoldFaceTest, TakesAFaceWhoseBoldShowsAndThatCoversTheText) {
  static constexpr const wchar_t* kCandidates[] = {L"Segoe UI", L"Arial", L"Microsoft YaHei"};
  const FaceCase cases[] = {
      {"the base face's bold shows", {L"Tahoma", L"Segoe UI"}, {L"Segoe UI"}, L"Tahoma"},
      {"the first candidate", {L"Segoe UI", L"Arial"}, {L"Segoe UI", L"Arial"}, L"Segoe UI"},
      // Wine at 144 dpi: the Latin faces lack the Chinese characters, the Chinese face has them.
      {"a Latin face without the characters",
       {L"Segoe UI", L"Arial", L"Microsoft YaHei"},
       {L"Microsoft YaHei"},
       L"Microsoft YaHei"},
      {"a covering face whose bold does not show", {L"Arial"}, {L"Segoe UI", L"Microsoft YaHei"}, L"Tahoma"},
      {"no candidate covers", {L"Segoe UI", L"Arial"}, {}, L"Tahoma"},
      {"nothing shows", {}, {L"Segoe UI", L"Arial", L"Microsoft YaHei"}, L"Tahoma"},
  };
  for (const FaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    const BoldFaceTests tests{
        [&](std::wstring_view face) { return c.boldShows.count(std::wstring(face)) > 0; },
        [&](std::wstring_view face) { return c.covers.count(std::wstring(face)) > 0; }};
    EXPECT_EQ(ChooseBoldFace(L"Tahoma", kCandidates, tests), c.expected);
  }
}

TEST(ChooseBoldFaceTest, TheCandidatesEndWithAChineseFace) {
  const auto faces = BoldSubstituteFaces();
  ASSERT_GE(faces.size(), 2u);
  EXPECT_EQ(std::wstring(faces.front()), L"Segoe UI");
  bool chinese = false;
  for (const wchar_t* face : faces) chinese = chinese || std::wstring(face) == L"Microsoft YaHei";
  EXPECT_TRUE(chinese);
}

}  // namespace
}  // namespace nimbrel
