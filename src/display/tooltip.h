#pragma once

#include <string>

#include "display/byte_size.h"
#include "display/memory_sample.h"
#include "settings/settings.h"

namespace nimbrel {

// The tray tooltip for one sample: an optional line saying what the icon shows (HintWhatisDisplayed),
// then the load, physical memory and page file lines, CR LF between lines and none after the last.
std::wstring TooltipText(const Settings& settings, const MemorySample& sample, const NumberFormat& format);

}  // namespace nimbrel
