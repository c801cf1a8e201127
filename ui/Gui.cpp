// The window base, forms, fonts, DPI and menus of the GUI layer.
#include "ui/Gui.h"

#include <algorithm>
#include <map>

#include "platform/Application.h"
#include "platform/Locale.h"

namespace gui {

namespace {

const wchar_t kWindowClass[] = L"KelvaneWindow";

int& DpiOverride() {
  static int dpi = 0;
  return dpi;
}

void RegisterOwnClass(WNDPROC proc) {
  static bool registered = false;
  if (registered) return;
  // A Unicode class: the texts of its windows are never narrowed to the
  // system code page on their way through the window procedure.
  WNDCLASSW wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), L"MAINICON");
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  RegisterClassW(&wc);
  registered = true;
}

UINT NextMenuId() {
  // Above the dialog ids (IDOK, IDCANCEL) and the control ids of forms.
  static UINT next = 30000;
  if (++next > 0xFFF0) next = 30001;
  return next;
}

}  // namespace

std::wstring Wide(const std::string& text) {
  const std::u16string wide = platform::Utf8ToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

// ---- DPI and fonts ----

int Dpi() {
  if (DpiOverride()) return DpiOverride();
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int d = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return d > 0 ? d : 96;
  }();
  return dpi;
}

int Scale(int pixels96) { return MulDiv(pixels96, Dpi(), 96); }

void SetDpiForTesting(int dpi) { DpiOverride() = dpi; }

namespace {

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The described face where the system has it; else the system's own message
// font, not whatever the font mapper takes for a missing face (under Wine
// with only a Japanese font package installed, a fixed-pitch one).
LOGFONTW ChosenFace() {
  LOGFONTW face{};
  face.lfCharSet = SHIFTJIS_CHARSET;
  lstrcpyW(face.lfFaceName, L"MS UI Gothic");
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &face, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  if (found) return face;
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    face.lfCharSet = metrics.lfMessageFont.lfCharSet;
    lstrcpyW(face.lfFaceName, metrics.lfMessageFont.lfFaceName);
  }
  return face;
}

}  // namespace

HFONT UiFont(int characterHeight96) {
  static std::map<std::pair<int, int>, HFONT> fonts;
  static const LOGFONTW chosen = ChosenFace();
  const std::pair<int, int> key(characterHeight96, Dpi());
  auto it = fonts.find(key);
  if (it != fonts.end()) return it->second;
  // A negative height asks for the character height, not the cell height.
  HFONT font = CreateFontW(-Scale(characterHeight96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, chosen.lfCharSet,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           chosen.lfFaceName);
  fonts[key] = font;
  return font;
}

// ---- windows ----

Window::~Window() {
  if (!hwnd_) return;
  // No message may reach an object that is going away.
  HWND hwnd = hwnd_;
  Unbind();
  DestroyWindow(hwnd);
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Window::Unbind() {
  if (standardProc_) {
    RemoveWindowSubclass(hwnd_, &Window::SubclassProc, 0);
  } else {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  }
  hwnd_ = nullptr;
  standardProc_ = nullptr;
}

LRESULT CALLBACK Window::OwnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // Its user data, not a window property: a property would cost a round trip
  // to Wine's server per message.
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  // Sent once per node when a tree is cleared, and nothing here wants it.
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TVN_DELETEITEMW) return 0;
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  return self->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK Window::SubclassProc(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  return reinterpret_cast<Window*>(self)->Dispatch(message, wParam, lParam);
}

Control* Window::Sender(UINT message, LPARAM lParam) const {
  HWND from = nullptr;
  if (message == WM_COMMAND) from = reinterpret_cast<HWND>(lParam);
  if (message == WM_NOTIFY) from = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
  if (!from) return nullptr;
  for (Control* c : placed_) {
    if (c->Handle() == from) return c;
  }
  return nullptr;
}

LRESULT Window::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  struct Call {
    Window* self;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result;
  } call{this, message, wParam, lParam, 0};
  // One pointer captured: the handler fits std::function's own storage.
  platform::app::RunGuarded([c = &call] {
    if (c->self->watch_) c->self->watch_->Seen(*c->self, c->message, c->wParam);
    // A control's command or notification goes back to the control's own wrapper.
    if (Control* child = c->self->Sender(c->message, c->lParam)) {
      child->Reflected(c->message, c->wParam, c->lParam, &c->result);
    } else {
      c->result = c->self->HandleMessage(c->message, c->wParam, c->lParam);
    }
  });
  if (message == WM_NCDESTROY) Unbind();
  return call.result;
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Default(message, wParam, lParam);
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  // Ours is the first subclass, set at creation: the control's own procedure
  // comes next. DefSubclassProc would find it through a window property, a
  // round trip to Wine's server per message.
  if (standardProc_) return CallWindowProcW(standardProc_, hwnd_, message, wParam, lParam);
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Window::CreateOwn(DWORD exStyle, const std::string& caption, DWORD style, int x, int y, int w, int h,
                       HWND parent, HMENU menuOrId) {
  RegisterOwnClass(&Window::OwnProc);
  CreateWindowExW(exStyle, kWindowClass, Wide(caption).c_str(), style, x, y, w, h, parent, menuOrId,
                  GetModuleHandleW(nullptr), this);
}

void Window::CreateStandard(DWORD exStyle, const wchar_t* className, const std::string& caption, DWORD style, int x,
                            int y, int w, int h, HWND parent, int id) {
  hwnd_ = CreateWindowExW(exStyle, className, Wide(caption).c_str(), style, x, y, w, h, parent,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  standardProc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC));
  SetWindowSubclass(hwnd_, &Window::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

void Window::SetBounds(int left, int top, int width, int height) {
  SetWindowPos(hwnd_, nullptr, left, top, width < 0 ? 0 : width, height < 0 ? 0 : height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Window::Bounds() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  HWND parent = GetParent(hwnd_);
  if (parent && (GetWindowLongW(hwnd_, GWL_STYLE) & WS_CHILD)) {
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

int Window::Width() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r.right - r.left;
}

int Window::Height() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

bool Window::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
void Window::SetEnabled(bool enabled) { EnableWindow(hwnd_, enabled); }
bool Window::Enabled() const { return hwnd_ && IsWindowEnabled(hwnd_); }

std::wstring Window::WideText() const {
  const int n = GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd_, &text[0], n + 1)));
  return text;
}

std::string Window::Text() const {
  const std::wstring text = WideText();
  return platform::Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

void Window::SetText(const std::string& text) { SetWindowTextW(hwnd_, Wide(text).c_str()); }
void Window::SetFont(HFONT font) { SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

// ---- docking ----

void Window::Realign() {
  if (!hwnd_ || placed_.empty()) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  DockControls(placed_, client);
  for (Control* c : placed_) c->Realign();
}

void DockControls(const std::vector<Control*>& controls, RECT area) {
  for (Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
    for (Control* c : controls) {
      if (c->align != pass || !c->Handle()) continue;
      const int w = area.right - area.left;
      const int h = area.bottom - area.top;
      switch (pass) {
        case Align::Top: {
          const int ch = c->Height();
          c->SetBounds(area.left, area.top, w, ch);
          area.top += ch;
          break;
        }
        case Align::Bottom: {
          const int ch = c->Height();
          c->SetBounds(area.left, area.bottom - ch, w, ch);
          area.bottom -= ch;
          break;
        }
        case Align::Left: {
          const int cw = c->Width();
          c->SetBounds(area.left, area.top, cw, h);
          area.left += cw;
          break;
        }
        case Align::Right: {
          const int cw = c->Width();
          c->SetBounds(area.right - cw, area.top, cw, h);
          area.right -= cw;
          break;
        }
        default:
          c->SetBounds(area.left, area.top, w, h);
          break;
      }
    }
  }
}

// ---- menus ----

namespace {

void BuildItems(HMENU menu, std::vector<MenuItem>& items) {
  for (MenuItem& item : items) {
    if (item.Caption == "-") {
      AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    } else if (!item.Items.empty()) {
      HMENU sub = CreatePopupMenu();
      BuildItems(sub, item.Items);
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), Wide(item.Caption).c_str());
    } else {
      item.Id = NextMenuId();
      AppendMenuW(menu, MF_STRING, item.Id, Wide(item.Caption).c_str());
    }
  }
}

MenuItem* FindIn(std::vector<MenuItem>& items, const std::string* name, UINT id) {
  for (MenuItem& item : items) {
    if (name ? item.Name == *name : (item.Id == id && id != 0)) return &item;
    if (MenuItem* found = FindIn(item.Items, name, id)) return found;
  }
  return nullptr;
}

}  // namespace

Menu::~Menu() {
  if (menu_) DestroyMenu(menu_);
}

void Menu::Build(std::vector<MenuItem> items, bool popup) {
  if (menu_) DestroyMenu(menu_);
  items_ = std::move(items);
  menu_ = popup ? CreatePopupMenu() : CreateMenu();
  BuildItems(menu_, items_);
}

MenuItem* Menu::Find(const std::string& name) { return FindIn(items_, &name, 0); }
MenuItem* Menu::FindId(UINT id) { return FindIn(items_, nullptr, id); }

void Menu::Popup(HWND owner, POINT screen) {
  // The owner must be the foreground window, or the menu stays open when the
  // user clicks elsewhere.
  SetForegroundWindow(owner);
  const UINT id = static_cast<UINT>(TrackPopupMenu(menu_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                                   screen.x, screen.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  if (MenuItem* item = id ? FindId(id) : nullptr) {
    if (item->OnClick) item->OnClick();
  }
}

// ---- forms ----

void Form::CreateForm(const FormShape& shape, HWND owner) {
  CreateOwn(shape.ExStyle | WS_EX_CONTROLPARENT, shape.Caption, shape.Style | WS_CLIPCHILDREN, 0, 0,
            Scale(shape.Width), Scale(shape.Height), owner, nullptr);
  SetFont(UiFont());
}

void Form::Place(std::initializer_list<Placement> table) {
  for (const Placement& p : table) {
    Control* c = p.control;
    c->Name = p.name;
    c->align = p.align;
    const RECT r{Scale(p.left), Scale(p.top), Scale(p.left) + Scale(p.width), Scale(p.top) + Scale(p.height)};
    Window& container = p.parent ? *static_cast<Window*>(p.parent) : *this;
    c->Create(container.Handle(), p, r, nextId_++);
    c->SetFont(UiFont());
    controls_.push_back(c);
    std::vector<Control*>& siblings = container.placed_;
    auto it = std::find_if(siblings.rbegin(), siblings.rend(), [&](Control* s) { return s->align == p.align; });
    c->Placed(container, p.align != Align::None && it != siblings.rend() ? *it : nullptr);
    siblings.push_back(c);
  }
  Realign();
}

void Form::SetMenu(Menu* menu) {
  menu_ = menu;
  ::SetMenu(Handle(), menu ? menu->Handle() : nullptr);
}

void Form::Show() {
  if (!IsWindowVisible(Handle())) {
    if (OnShow) OnShow();
    ShowWindow(Handle(), SW_SHOW);
  }
  SetForegroundWindow(Handle());
  platform::app::AddDialogWindow(reinterpret_cast<platform::WindowHandle>(Handle()));
}

void Form::Hide() { ShowWindow(Handle(), SW_HIDE); }

void Form::Close() {
  if (OnClose) OnClose();
  Hide();
}

void Form::SetDefaultButton(Button* button) {
  if (defaultButton_ && defaultButton_->Handle()) {
    SendMessageW(defaultButton_->Handle(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  }
  defaultButton_ = button;
  if (button && button->Handle()) SendMessageW(button->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void Form::EnableHints() {
  if (tooltip_) return;
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(platform::app::HintHidePause(), 0));
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Scale(400));
  for (Control* c : controls_) {
    if (c->Hint.empty()) continue;
    std::wstring hint = Wide(c->Hint);
    TOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(c->Handle());
    // The tool keeps its own copy of the text.
    ti.lpszText = &hint[0];
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void Form::CenterOn(HWND other) {
  RECT area{};
  if (!other || !GetWindowRect(other, &area)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const int w = Width();
  const int h = Height();
  SetWindowPos(Handle(), nullptr, (area.left + area.right - w) / 2, (area.top + area.bottom - h) / 2, 0, 0,
               SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Realign();
      if (OnResize) OnResize();
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == 0 && lParam == 0 && menu_) {
        if (MenuItem* item = menu_->FindId(LOWORD(wParam))) {
          if (item->OnClick) item->OnClick();
          return 0;
        }
      }
      // Enter and Esc through the dialog manager.
      if (LOWORD(wParam) == IDOK && lParam == 0 && defaultButton_) defaultButton_->Click();
      if (LOWORD(wParam) == IDCANCEL && lParam == 0) {
        if (cancelButton_) {
          cancelButton_->Click();
        } else {
          Close();
        }
      }
      return 0;
    case DM_GETDEFID:
      if (defaultButton_ && defaultButton_->Handle()) {
        return MAKELRESULT(GetDlgCtrlID(defaultButton_->Handle()), DC_HASDEFID);
      }
      return 0;
    case WM_ACTIVATEAPP:
      if (!wParam) platform::app::Deactivated();
      return 0;
    case WM_DESTROY:
      platform::app::RemoveDialogWindow(reinterpret_cast<platform::WindowHandle>(Handle()));
      // The menu object frees its menu itself.
      if (menu_) ::SetMenu(Handle(), nullptr);
      return 0;
    default:
      return Default(message, wParam, lParam);
  }
}

// ---- leaving ----

void LeaveWatch::Attach(Form& form) {
  form_ = &form;
  form.SetWatch(this);
  for (Control* c : form.Controls()) c->SetWatch(this);
}

void LeaveWatch::Check() {
  if (inMenu_ || !form_ || !form_->Visible()) return;
  POINT p;
  GetCursorPos(&p);
  RECT r;
  GetWindowRect(form_->Handle(), &r);
  if (PtInRect(&r, p)) {
    pointerSeen_ = true;
  } else if (pointerSeen_ && OnLeave) {
    OnLeave();
  }
}

void LeaveWatch::Seen(Window& window, UINT message, WPARAM wParam) {
  switch (message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE: {
      pointerSeen_ = true;
      const bool nonClient = message == WM_NCMOUSEMOVE;
      if (tracked_ == window.Handle() && trackedNonClient_ == nonClient) return;
      TRACKMOUSEEVENT tme{sizeof(tme), static_cast<DWORD>(TME_LEAVE | (nonClient ? TME_NONCLIENT : 0)),
                          window.Handle(), 0};
      if (TrackMouseEvent(&tme)) {
        tracked_ = window.Handle();
        trackedNonClient_ = nonClient;
      }
      return;
    }
    case WM_MOUSELEAVE:
    case WM_NCMOUSELEAVE:
      if (tracked_ == window.Handle() && trackedNonClient_ == (message == WM_NCMOUSELEAVE)) tracked_ = nullptr;
      Check();
      return;
    case WM_TIMER:
      if (&window == form_) Check();
      return;
    case WM_SHOWWINDOW:
      if (&window != form_) return;
      pointerSeen_ = false;
      if (wParam) {
        SetTimer(form_->Handle(), kTimerId, 100, nullptr);
      } else {
        KillTimer(form_->Handle(), kTimerId);
      }
      return;
    case WM_ENTERMENULOOP:
      inMenu_ = true;
      return;
    case WM_EXITMENULOOP:
      inMenu_ = false;
      return;
    default:
      return;
  }
}

}  // namespace gui
