// The contract every settings store shares, run against the system's private-profile functions.
#include <gtest/gtest.h>

#include "contract/ini_store_contract.h"
#include "settings/profile_ini_store_win.h"
#include "win/test_paths_win.h"

namespace nimbrel {
namespace {

class ProfileHarness : public contract::IniStoreHarness {
 public:
  ProfileHarness() : folder_(testing::MakeScratchFolder(L"ini")), store_(folder_ + L"Nimbrel.Settings") {}
  ~ProfileHarness() override { testing::RemoveTree(folder_); }

  void SetContent(const std::string& bytes) override { testing::WriteFileBytes(store_.Path(), bytes); }
  std::string Content() override { return testing::ReadFileBytes(store_.Path()); }
  IniStore& Store() override { return store_; }

 private:
  std::wstring folder_;
  ProfileIniStore store_;
};

std::unique_ptr<contract::IniStoreHarness> MakeProfileHarness() { return std::make_unique<ProfileHarness>(); }

}  // namespace

namespace contract {
INSTANTIATE_TEST_SUITE_P(Profile, IniStoreContract, ::testing::Values(&MakeProfileHarness));
}  // namespace contract
}  // namespace nimbrel
