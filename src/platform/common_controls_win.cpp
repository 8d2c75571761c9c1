#include "platform/common_controls_win.h"

#include "platform/system_library_win.h"

namespace nimbrel {

const CommonControls& CommonControls::Get() {
  static const CommonControls controls = [] {
    CommonControls c;
    c.module = LoadSystemLibrary(L"comctl32.dll").release();
    c.InitCommonControlsEx =
        LibraryFunction<decltype(c.InitCommonControlsEx)>(c.module, "InitCommonControlsEx");
    return c;
  }();
  return controls;
}

bool InitCommonControlClasses(DWORD classes) {
  const INITCOMMONCONTROLSEX init{sizeof init, classes};
  const CommonControls& controls = CommonControls::Get();
  return controls.InitCommonControlsEx && controls.InitCommonControlsEx(&init);
}

}  // namespace nimbrel
