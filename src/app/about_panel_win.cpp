#include "app/about_panel_win.h"

#include <shellapi.h>

#include "app/about_layout.h"
#include "app/endpoints.h"
#include "app/resource_ids.h"
#include "app/update_checker_win.h"
#include "platform/application_win.h"
#include "platform/common_controls_win.h"
#include "platform/display_scale_win.h"
#include "platform/system_info_win.h"
#include "platform/version_text.h"
#include "widgets/link_label_win.h"

namespace nimbrel {

namespace {

constexpr int kIdButton1 = IDOK;
constexpr int kIdLabelDownload = 1001;
constexpr int kIdLabelSupport = 1002;
constexpr int kIdDonationLink = 1003;
constexpr int kIdDonationImage = 1004;

constexpr wchar_t kDonationUrl[] = L"https://www.vostrand.com/nimbrel/donate";
constexpr wchar_t kSupportUrl[] = L"https://www.vostrand.com/nimbrel/support";

HWND MakeChild(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id) {
  return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                           nullptr);
}

// The height of a line of text in font.
int LineHeight(HWND window, HFONT font) {
  WindowDc dc(window);
  SelectObjectGuard selected(dc.get(), font);
  TEXTMETRICW metrics{};
  return ::GetTextMetricsW(dc.get(), &metrics) ? metrics.tmHeight : 0;
}

}  // namespace

AboutPanel::AboutPanel(HWND window) : window_(window) {}

AboutPanel::~AboutPanel() = default;

void AboutPanel::Show(bool showDonation) {
  if (!button1_) {
    donationShown_ = showDonation;
    CreateControls();
  }
  PlaceNearTaskbar(window_);
  Application::Instance().ProcessMessages();
  if (updateLabel_.Shown() == UpdateLabel::Action::StartCheck) StartUpdateCheck();
}

void AboutPanel::CreateControls() {
  dpi_ = WindowDpi(window_);
  Size(nullptr);
  InitCommonControlClasses(ICC_STANDARD_CLASSES);
  picture_ = MakeChild(window_, L"STATIC", L"", SS_ICON, 0);
  labelTitle_ = MakeChild(window_, L"STATIC", L"Nimbrel", SS_LEFT, 0);
  const std::wstring version = L"Version " + FormatVersionText(ReadOwnVersion().productVersion, false);
  label2_ = MakeChild(window_, L"STATIC", version.c_str(), SS_LEFT, 0);
  RegisterLinkLabelClass();
  labelDownload_ = MakeChild(window_, kLinkLabelClass, updateLabel_.Markup().c_str(), 0, kIdLabelDownload);
  labelSupport_ = MakeChild(window_, kLinkLabelClass, L"<link>支持信息</link>", 0, kIdLabelSupport);
  image3_ = MakeChild(window_, L"STATIC", L"", SS_ICON | SS_NOTIFY, kIdDonationImage);
  jvLinkLabel2_ =
      MakeChild(window_, kLinkLabelClass, L"<link>捐助 Nimbrel 的开发</link>", 0, kIdDonationLink);
  if (!donationShown_) {
    ::ShowWindow(image3_, SW_HIDE);
    ::ShowWindow(jvLinkLabel2_, SW_HIDE);
  }
  button1_ = MakeChild(window_, L"BUTTON", L"确定", BS_DEFPUSHBUTTON | WS_TABSTOP, kIdButton1);
  MakeFonts();
  Layout();
}

void AboutPanel::Size(const RECT* suggested) {
  const AboutSize client = AboutClientSize(dpi_);
  RECT r{0, 0, client.width, client.height};
  const auto style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
  AdjustWindowRectForDpi(r, style, exStyle, dpi_);
  int width = r.right - r.left;
  int height = donationShown_ ? r.bottom - r.top : AboutOuterHeightWithoutDonation(dpi_);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  int x = 0;
  int y = 0;
  if (suggested) {
    x = suggested->left;
    y = suggested->top;
    width = suggested->right - suggested->left;
    height = suggested->bottom - suggested->top;
  } else {
    flags |= SWP_NOMOVE;
  }
  ::SetWindowPos(window_, nullptr, x, y, width, height, flags);
}

void AboutPanel::MakeFonts() {
  UniqueFont regular;
  UniqueFont bold;
  MakeFontPair(NonClientMetricsForDpi(dpi_).lfMessageFont, 150, regular, bold, L"Nimbrel");
  // The controls let go of the old fonts before they are deleted.
  for (HWND w : {label2_, labelDownload_, labelSupport_, jvLinkLabel2_, button1_})
    ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(regular.get()), TRUE);
  ::SendMessageW(labelTitle_, WM_SETFONT, reinterpret_cast<WPARAM>(bold.get()), TRUE);
  uiFont_ = std::move(regular);
  boldFont_ = std::move(bold);
  const int size = AboutIconSize(dpi_);
  UniqueIcon picture(static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_NIMBREL), IMAGE_ICON, size, size, 0)));
  ::SendMessageW(picture_, STM_SETICON, reinterpret_cast<WPARAM>(picture.get()), 0);
  pictureIcon_ = std::move(picture);
  // The system's information icon at the size of large icons for this dpi, not stretched from another.
  UniqueIcon info(static_cast<HICON>(::LoadImageW(nullptr, IDI_INFORMATION, IMAGE_ICON, size, size, 0)));
  ::SendMessageW(image3_, STM_SETICON,
                 reinterpret_cast<WPARAM>(info ? info.get() : ::LoadIconW(nullptr, IDI_INFORMATION)), 0);
  donationIcon_ = std::move(info);
}

void AboutPanel::Layout() {
  RECT client{};
  ::GetClientRect(window_, &client);
  const AboutLayout layout =
      LayoutAboutWindow(dpi_, client.right, client.bottom, LineHeight(window_, uiFont_.get()),
                        LineHeight(window_, boldFont_.get()));
  auto place = [](HWND w, const Rect& r) {
    ::SetWindowPos(w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
  };
  place(picture_, layout.icon);
  place(labelTitle_, layout.title);
  place(label2_, layout.version);
  place(labelDownload_, layout.download);
  place(labelSupport_, layout.support);
  place(image3_, layout.donationImage);
  place(jvLinkLabel2_, layout.donationLink);
  place(button1_, layout.ok);
}

void AboutPanel::DpiChanged(int dpi, const RECT& suggested) {
  if (!button1_) return;  // never shown: laid out at the scale where it first shows
  dpi_ = dpi;
  MakeFonts();
  Size(&suggested);
  Layout();
  // Every control anew: moved controls would otherwise keep bits of what was drawn before.
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

void AboutPanel::LabelDownloadLinkClick(const std::wstring& linkText) {
  switch (updateLabel_.LinkClicked(linkText)) {
    case UpdateLabel::Action::OpenDownloadPage:
      ::ShellExecuteW(window_, L"Open", kDownloadPageEndpoint, nullptr, nullptr, SW_SHOWNORMAL);
      break;
    case UpdateLabel::Action::StartCheck:
      StartUpdateCheck();
      break;
    case UpdateLabel::Action::None:
      break;
  }
}

void AboutPanel::ShowUpdateLabel() {
  ::SetWindowTextW(labelDownload_, updateLabel_.Markup().c_str());
  ::UpdateWindow(labelDownload_);
}

void AboutPanel::StartUpdateCheck() {
  ShowUpdateLabel();
  if (!GetUpdate) {
    GetUpdate = std::make_unique<TUpdateChecker>();
    GetUpdate->OnGetURL = [this](const std::wstring& currentVersion, const std::wstring&, const std::wstring&,
                                 const std::wstring&) {
      updateLabel_.VersionReceived(currentVersion, ReadOwnVersion().fileVersion);
      ShowUpdateLabel();
    };
    GetUpdate->OnDownloadFailed = [this] {
      updateLabel_.CheckFailed();
      ShowUpdateLabel();
    };
  }
  GetUpdate->ProgramName = ProgramNameFromPath(ExecutablePath());
  GetUpdate->TempFile = MakeTempFileName(GetTempFolder());
  GetUpdate->URLCurrVerFile = kVersionFileEndpoint;
  GetUpdate->StartVersionCheck();
}

bool AboutPanel::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  result = 0;
  const auto donate = [this] {
    ::ShellExecuteW(window_, L"open", kDonationUrl, nullptr, nullptr, SW_SHOWNORMAL);
    if (OnDonation) OnDonation();
  };
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        if (OnDismiss) OnDismiss();
        return true;
      }
      if (LOWORD(wParam) == kIdDonationImage && HIWORD(wParam) == STN_CLICKED) {
        donate();
        return true;
      }
      return false;
    case WM_NOTIFY: {
      const auto* click = reinterpret_cast<const LinkLabelClick*>(lParam);
      if (click->hdr.code != kLinkLabelClicked) return false;
      if (click->hdr.idFrom == kIdLabelDownload) {
        LabelDownloadLinkClick(click->linkText);
      } else if (click->hdr.idFrom == kIdLabelSupport) {
        ::ShellExecuteW(window_, L"open", kSupportUrl, nullptr, nullptr, SW_SHOWNORMAL);
      } else if (click->hdr.idFrom == kIdDonationLink) {
        donate();
      }
      return true;
    }
    case WM_SETCURSOR:
      if (!image3_ || reinterpret_cast<HWND>(wParam) != image3_) return false;
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      result = TRUE;
      return true;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetBkColor(dc, RGB(255, 255, 255));
      // The update label is grey while the check runs.
      if (reinterpret_cast<HWND>(lParam) == labelDownload_ && updateLabel_.Grey())
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
      result = reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
      return true;
    }
    default:
      return false;
  }
}

}  // namespace nimbrel
