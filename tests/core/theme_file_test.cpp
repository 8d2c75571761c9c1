#include "settings/theme_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "settings/settings_store.h"
#include "settings/text_ini_store.h"

namespace nimbrel {
namespace {

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\r\n";
  return text;
}

TEST(ThemeFile, NightIsWrittenByteForByte) {
  ThemeSlots slots;
  slots.ColorSlots[kTextSlot] = L"FFFFFF";
  TextIniStore file;
  ASSERT_TRUE(SaveThemeFile(file, L"Night", slots));
  EXPECT_EQ(file.Content(),
            Lines({"[NimbrelTheme]", "Ver=22", "Name=Night", "FontColor=FFFFFF", "BackgroundColor=-1",
                   "BarColor=-1", "BarBorderColor=-1", "GreenColor=-1", "YellowColor=-1", "RedColor=-1",
                   "OpaqueBackground=1", "BarOpaqueBackground=0"}));
}

TEST(ThemeFile, FormatVersionDecidesWhatOpaqueBackgroundMeans) {
  struct Case {
    const char* version;  // nullptr: no Ver key
    const char* opaque;   // nullptr: no OpaqueBackground key
    bool transparent;
  } cases[] = {
      {nullptr, "1", false}, {"22", "1", false},       {"21", "1", true},      {"21", "0", false},
      {"22", "0", true},     {nullptr, nullptr, true}, {"21", nullptr, false}, {" 22 ", "1", false},
  };
  for (const Case& c : cases) {
    std::string content = "[NimbrelTheme]\r\n";
    if (c.version) content += std::string("Ver=") + c.version + "\r\n";
    if (c.opaque) content += std::string("OpaqueBackground=") + c.opaque + "\r\n";
    content += "BarOpaqueBackground=1\r\n";
    const ThemeSlots slots = ReadTheme(TextIniStore(content));
    EXPECT_EQ(slots.TransparentBackground, c.transparent) << content;
    EXPECT_TRUE(slots.OpaqueBar);

    Settings settings;
    TextIniStore file(content);
    ApplyStartupTheme(settings, 5, &file);
    EXPECT_EQ(settings.TransBk, c.transparent) << content;
    EXPECT_TRUE(settings.FullBar);
  }
}

TEST(ThemeFile, ColourTextsStayVerbatimAndSavesUpdateInPlace) {
  TextIniStore file(Lines({"; kept", "[NimbrelTheme]", "RedColor=ButtonShadow", "Extra=1",
                           "GreenColor=#00ff00", "Name=Old", "Ver=21", "OpaqueBackground=1"}));
  const ThemeSlots slots = ReadTheme(file);
  EXPECT_EQ(slots.ColorSlots[kGreenSlot], L"#00ff00");
  EXPECT_EQ(slots.ColorSlots[kRedSlot], L"ButtonShadow");
  EXPECT_EQ(slots.ColorSlots[kTextSlot], L"-1");
  ASSERT_TRUE(SaveThemeFile(file, L"New", slots));
  EXPECT_EQ(file.Content(),
            Lines({"; kept", "[NimbrelTheme]", "RedColor=ButtonShadow", "Extra=1", "GreenColor=#00ff00",
                   "Name=New", "Ver=22", "OpaqueBackground=0", "FontColor=-1", "BackgroundColor=-1",
                   "BarColor=-1", "BarBorderColor=-1", "YellowColor=-1", "BarOpaqueBackground=0"}));
  EXPECT_EQ(ReadTheme(file), slots) << "a saved theme reads back as it was";

  Settings settings;
  ApplyStartupTheme(settings, 5, &file);
  EXPECT_EQ(settings.GreenColor, RgbColor(0, 255, 0));
  EXPECT_EQ(settings.RedColor, SystemColor(16));
  EXPECT_EQ(ThemeSlotColor(L"#00ff00"), RgbColor(0, 255, 0));
  EXPECT_EQ(ThemeSlotColor(L"-1"), kAutomaticColor);
  EXPECT_EQ(ThemeSlotColor(L"nonsense"), kAutomaticColor);
}

TEST(ThemeFile, RefusedWriteReportsFailure) {
  TextIniStore file;
  file.SetReadOnly(true);
  EXPECT_FALSE(SaveThemeFile(file, L"Night", ThemeSlots{}));
}

TEST(ThemeFile, SanitizeFileName) {
  const std::wstring long300(300, L'a');
  struct Case {
    std::wstring in, out;
  } cases[] = {
      {L"x/y:z?", L"x_y_z_"},
      {L"|<>\"?*:/\\", L"_________"},
      {L"Nacht über Berlin.v2", L"Nacht über Berlin.v2"},
      {long300, std::wstring(255, L'a')},
      {std::wstring(255, L'b'), std::wstring(255, L'b')},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(SanitizeFileName(c.in), c.out);
  EXPECT_EQ(ThemeFileNameOf(L"x_y_z_"), L"x_y_z_.Nimbrel Theme");
  EXPECT_EQ(ThemeEntryOf(L"x_y_z_.Nimbrel Theme"), L"x_y_z_");
}

TEST(ThemeFile, VisualStyleCodes) {
  struct Case {
    VisualStyleInputs in;
    int code;
  } cases[] = {
      {{false, true, 6, 1, true, L"NormalColor"}, 5},  {{true, true, 6, 1, true, L""}, 0},
      {{true, true, 10, 0, true, L"NormalColor"}, 0},  {{true, true, 6, 0, false, L" \tNormalColor\r\n"}, 1},
      {{true, true, 6, 0, false, L"normalcolor"}, 5},  {{true, true, 5, 1, false, L"NormalColor"}, 2},
      {{true, true, 5, 2, false, L"HomeStead"}, 3},    {{true, true, 5, 1, false, L"Metallic"}, 4},
      {{true, true, 5, 1, false, L" Metallic"}, 5},    {{true, true, 5, 0, false, L"NormalColor"}, 5},
      {{true, false, 5, 1, false, L"NormalColor"}, 5}, {{true, true, 6, 1, false, L"Aero"}, 5},
  };
  for (const Case& c : cases) EXPECT_EQ(VisualStyleCode(c.in), c.code) << c.in.major << "." << c.in.minor;
  EXPECT_EQ(StartupThemeFileName(0), L"Windows Aero.Nimbrel Theme");
  EXPECT_EQ(StartupThemeFileName(1), L"Windows Aero.Nimbrel Theme");
  EXPECT_EQ(StartupThemeFileName(3), L"Windows XP Style (Olive Green).Nimbrel Theme");
  EXPECT_EQ(StartupThemeFileName(5), L"System Colors.Nimbrel Theme");
}

TEST(ThemeFile, StartupTheme) {
  const Settings loaded = DefaultSettings(10);
  ASSERT_EQ(loaded.FontColor, SystemColor(8));

  Settings untouched = loaded;
  ApplyStartupTheme(untouched, 0, nullptr);
  EXPECT_EQ(untouched, loaded) << "a missing file changes nothing, not even the Aero background";

  TextIniStore file(Lines({"[NimbrelTheme]", "Ver=22", "FontColor=-1", "BackgroundColor=112233", "BarColor=x",
                           "OpaqueBackground=1", "BarOpaqueBackground=1"}));
  Settings classic = loaded;
  ApplyStartupTheme(classic, 5, &file);
  EXPECT_EQ(classic.FontColor, SystemColor(8)) << "-1 keeps the font's loaded colour";
  EXPECT_EQ(classic.DisplayFont.Color, SystemColor(8));
  EXPECT_EQ(classic.OpaqueBkColor, RgbColor(0x11, 0x22, 0x33));
  EXPECT_EQ(classic.FullBarColor, kAutomaticColor) << "an unreadable text becomes automatic";
  EXPECT_FALSE(classic.TransBk);
  EXPECT_TRUE(classic.FullBar);

  TextIniStore white(
      Lines({"[NimbrelTheme]", "FontColor=FFFFFF", "BackgroundColor=112233", "OpaqueBackground=0"}));
  for (int aero : {0, 1}) {
    Settings s = loaded;
    ApplyStartupTheme(s, aero, &white);
    EXPECT_FALSE(s.TransBk);
    EXPECT_EQ(s.OpaqueBkColor, RgbColor(0, 0, 0));
    EXPECT_EQ(s.DisplayFont.Color, RgbColor(255, 255, 255)) << "the font takes the theme's colour last";
  }
}

// A themes folder in memory; names compare ignoring case, as on Windows.
class FakeFolder : public ThemeFolder {
 public:
  struct Entry {
    std::wstring name;
    std::shared_ptr<TextIniStore> file = std::make_shared<TextIniStore>();
    bool removable = true;
  };
  std::vector<Entry> files;
  bool readOnly = false;

  Entry* Find(const std::wstring& path) {
    for (Entry& e : files)
      if (std::equal(e.name.begin(), e.name.end(), path.begin(), path.end(),
                     [](wchar_t a, wchar_t b) { return std::towlower(a) == std::towlower(b); }))
        return &e;
    return nullptr;
  }
  std::vector<std::wstring> ThemeFiles() const override {
    std::vector<std::wstring> names;
    for (const Entry& e : files) names.push_back(e.name);
    return names;
  }
  std::wstring PathOf(const std::wstring& fileName) const override { return fileName; }
  bool Exists(const std::wstring& path) const override { return const_cast<FakeFolder*>(this)->Find(path); }
  std::unique_ptr<IniStore> Open(const std::wstring& path) const override {
    auto* self = const_cast<FakeFolder*>(this);
    Entry* e = self->Find(path);
    if (!e) {
      self->files.push_back({path});
      e = &self->files.back();
    }
    auto store = std::make_unique<TextIniStore>(e->file->Content());
    store->SetReadOnly(readOnly);
    return std::make_unique<Proxy>(std::move(store), e->file);
  }
  bool Remove(const std::wstring& path) override {
    for (auto it = files.begin(); it != files.end(); ++it)
      if (it->name == path && it->removable) {
        files.erase(it);
        return true;
      }
    return false;
  }

 private:
  // Writes go through to the folder's copy of the file.
  struct Proxy : IniStore {
    Proxy(std::unique_ptr<TextIniStore> s, std::shared_ptr<TextIniStore> t)
        : store(std::move(s)), target(t) {}
    std::wstring ReadString(const std::wstring& s, const std::wstring& k,
                            const std::wstring& d) const override {
      return store->ReadString(s, k, d);
    }
    bool WriteString(const std::wstring& s, const std::wstring& k, const std::wstring& v) override {
      if (!store->WriteString(s, k, v)) return false;
      target->SetContent(store->Content());
      return true;
    }
    std::unique_ptr<TextIniStore> store;
    std::shared_ptr<TextIniStore> target;
  };
};

const auto kYes = [](const std::wstring&) { return true; };
const auto kNo = [](const std::wstring&) { return false; };

TEST(ThemePage, SaveAs) {
  FakeFolder folder;
  folder.files.push_back({L"Night.Nimbrel Theme"});
  folder.files.push_back({L"Blue.Nimbrel Theme"});
  folder.files[0].file->SetContent(Lines({"[NimbrelTheme]", "FontColor=FFFFFF"}));
  EXPECT_EQ(LoadThemeList(folder), (std::vector<std::wstring>{L"默认颜色", L"当前颜色", L"Night", L"Blue"}));

  ThemeSlots slots;
  slots.ColorSlots[kRedSlot] = L"#ff0000";
  EXPECT_EQ(SaveThemeAs(folder, L"", slots, kYes).result, ThemeListChange::Result::Unchanged);

  std::wstring asked;
  auto no = [&](const std::wstring& q) {
    asked = q;
    return false;
  };
  EXPECT_EQ(SaveThemeAs(folder, L"NIGHT", slots, no).result, ThemeListChange::Result::Unchanged);
  EXPECT_EQ(asked, kReplaceThemeQuestion);
  EXPECT_EQ(ReadTheme(*folder.files[0].file).ColorSlots[kTextSlot], L"FFFFFF") << "No leaves the old file";

  ThemeListChange replaced = SaveThemeAs(folder, L"NIGHT", slots, kYes);
  ASSERT_EQ(replaced.result, ThemeListChange::Result::Changed);
  EXPECT_EQ(replaced.selected, 2) << "the entry is found ignoring case";
  EXPECT_EQ(ReadThemeEntry(folder, L"Night").ColorSlots[kRedSlot], L"#ff0000");

  asked.clear();
  ThemeListChange added = SaveThemeAs(folder, L"x/y:z?", slots, no);
  ASSERT_EQ(added.result, ThemeListChange::Result::Changed);
  EXPECT_TRUE(asked.empty()) << "a new name asks nothing";
  EXPECT_EQ(added.entries.back(), L"x_y_z_");
  EXPECT_EQ(added.selected, 4);
  EXPECT_NE(folder.Find(L"x_y_z_.Nimbrel Theme"), nullptr);

  folder.readOnly = true;
  ThemeListChange refused = SaveThemeAs(folder, L"Locked", slots, kYes);
  EXPECT_EQ(refused.result, ThemeListChange::Result::WriteFailed);
  EXPECT_EQ(refused.failedPath, L"Locked.Nimbrel Theme");
  EXPECT_TRUE(refused.entries.empty()) << "the list is not refilled";
}

TEST(ThemePage, Delete) {
  FakeFolder folder;
  folder.files.push_back({L"Night.Nimbrel Theme"});
  folder.files.push_back({L"Stuck.Nimbrel Theme", std::make_shared<TextIniStore>(), false});
  const std::vector<std::wstring> entries = LoadThemeList(folder);

  for (int fixed : {-1, 0, 1, 4}) {
    EXPECT_FALSE(CanDeleteTheme(fixed, entries.size())) << fixed;
    EXPECT_EQ(DeleteTheme(folder, entries, fixed, kYes).result, ThemeListChange::Result::Unchanged);
  }
  EXPECT_EQ(DeleteTheme(folder, entries, 2, kNo).result, ThemeListChange::Result::Unchanged);
  EXPECT_EQ(folder.files.size(), 2u);

  ThemeListChange gone = DeleteTheme(folder, entries, 2, kYes);
  EXPECT_EQ(gone.entries, (std::vector<std::wstring>{L"默认颜色", L"当前颜色", L"Stuck"}));
  EXPECT_EQ(gone.selected, 1) << "当前颜色 is selected afterwards";
  EXPECT_EQ(folder.files.size(), 1u);

  ThemeListChange stuck = DeleteTheme(folder, gone.entries, 2, kYes);
  EXPECT_EQ(stuck.entries.size(), 2u) << "an undeletable file still leaves the list";
}

// The start-up theme files the installer and the zips ship: each style's file exists, names itself,
// and every colour it holds is one the program reads (a slip would silently fall back to automatic).
TEST(ThemeFile, ShippedStartupThemesAreWhole) {
  for (int style = 0; style <= 5; ++style) {
    const std::wstring fileName = StartupThemeFileName(style);
    std::ifstream in(
        std::string(NIMBREL_SOURCE_DIR "/packaging/themes/") + std::string(fileName.begin(), fileName.end()),
        std::ios::binary);
    ASSERT_TRUE(in) << style;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    const TextIniStore file(bytes.str());
    EXPECT_EQ(bytes.str().find("\n"), bytes.str().find("\r\n") + 1) << style << ": CRLF lines";
    EXPECT_EQ(file.ReadString(kThemeSection, L"Ver", L""), kThemeFormatVersion) << style;
    EXPECT_EQ(file.ReadString(kThemeSection, L"Name", L"") + kThemeExtension, fileName) << style;
    const ThemeSlots slots = ReadTheme(file);
    int automatic = 0;
    for (const std::wstring& text : slots.ColorSlots) {
      if (text == L"-1") {
        ++automatic;
        continue;
      }
      EXPECT_NE(ThemeSlotColor(text), kAutomaticColor)
          << style << ": " << std::string(text.begin(), text.end());
    }
    EXPECT_LE(automatic, 2) << style << ": a start-up theme sets its own colours";
  }
}

}  // namespace
}  // namespace nimbrel
