#include "processes/process_actions.h"

#include <algorithm>
#include <array>
#include <cwchar>

namespace nimbrel {

namespace {

constexpr int kInformationIconKind = 4;
constexpr int kWarningIconKind = 1;
constexpr int kProcessDialogWidth = 250;
constexpr std::wstring_view kCrLf = L"\r\n";

wchar_t UpperAscii(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

}  // namespace

bool IsSystemProcessName(std::wstring_view exeFile) {
  static constexpr std::array<std::wstring_view, 3> kSystemNames = {L"DWM.EXE", L"SVCHOST.EXE", L"CSRSS.EXE"};
  std::wstring upper(exeFile);
  std::transform(upper.begin(), upper.end(), upper.begin(), UpperAscii);
  return std::find(kSystemNames.begin(), kSystemNames.end(), upper) != kSystemNames.end();
}

std::wstring ProcessContentText(const std::wstring& description, const std::wstring& company,
                                const std::wstring& fileVersion) {
  std::wstring text;
  if (!description.empty()) {
    text.append(description).append(kCrLf).append(company).append(kCrLf);
    text.append(L"版本: ").append(fileVersion).append(kCrLf).append(kCrLf);
  } else {
    text.append(L"(没有进程信息)").append(kCrLf).append(kCrLf);
  }
  text.append(L"此进程可终止, 但请注意, 终止进程可能导致未保存的数据丢失.").append(kCrLf).append(kCrLf);
  text.append(L"或者, 您可以尝试释放进程内存或打开包含文件夹");
  return text;
}

TTaskDialogEx KillItemRequest(const std::wstring& exeFile, const std::wstring& content) {
  const bool system = IsSystemProcessName(exeFile);
  return CommandQuestionRequest(L"进程信息  '" + exeFile + L"'", content,
                                L"打开文件夹\n释放内存\n结束进程\n取消", kInformationIconKind, 0, L"Nimbrel",
                                system ? L"'" + exeFile + L"' 可能是一个系统进程" : std::wstring(),
                                system ? kWarningIconKind : 0, kProcessDialogWidth);
}

ProcessAction KillItemAction(int dialogResult) {
  switch (dialogResult) {
    case kFirstCommandButtonId:
      return ProcessAction::OpenFolder;
    case kFirstCommandButtonId + 1:
      return ProcessAction::TrimMemory;
    case kFirstCommandButtonId + 2:
      return ProcessAction::Terminate;
    default:
      return ProcessAction::None;
  }
}

std::wstring FolderToOpen(const std::wstring& fullPath) {
  const std::size_t last = fullPath.find_last_of(L"\\:");
  const std::wstring folder = last == std::wstring::npos ? std::wstring() : fullPath.substr(0, last + 1);
  return L"\"" + folder + L"\"";
}

}  // namespace nimbrel
