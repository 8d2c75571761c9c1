#include "display/tooltip.h"

namespace nimbrel {

std::wstring TooltipText(const Settings& settings, const MemorySample& sample, const NumberFormat& format) {
  std::wstring text;
  if (settings.HintWhatisDisplayed) {
    text += L"显示 ";
    text += settings.ShowFree ? L"可用" : L"已用";
    text += L" ";
    text += settings.ShowPage ? L"页面文件" : L"物理内存";
    text += L" ";
    text += settings.ShowPercentage ? L"%" : L"";
    text += L"\r\n";
  }
  text += L"内存使用: " + std::to_wstring(sample.dwMemoryLoad) + L"%\r\n";
  text += L"物理内存: " + FormatByteSize(UsedPhysical(sample), format) + L"/" +
          FormatByteSize(sample.ullTotalPhys, format) + L"\r\n";
  text += L"页面文件: " + FormatByteSize(UsedPageFile(sample), format) + L"/" +
          FormatByteSize(sample.ullTotalPageFile, format);
  return text;
}

}  // namespace nimbrel
