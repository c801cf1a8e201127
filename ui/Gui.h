#pragma once
// Kelvane's small GUI layer over user32 and comctl32 (Windows only).
//
// A form declares its controls as named members, places them from one table of
// 96-DPI pixels (name, caption, rectangle, parent) and wires their event fields
// to its handler methods:
//
//   class TMyForm : public gui::Form {
//    public:
//     explicit TMyForm(HWND owner) {
//       CreateForm({"Caption", 300, 200, gui::kDialogFrame, 0}, owner);  // outer size
//       Place({
//           {&lblName, "lblName", "Name", 8, 8, 60, 12},
//           {&editName, "editName", "Folder", 8, 40, 200, 20},  // labelled: caption above
//           {&lblCount, "lblCount", "0", 8, 70, 40, 12, nullptr, gui::Align::None, gui::kRightAligned},
//           {&btnOK, "btnOK", "OK", 130, 150, 75, 25},
//       });
//       btnOK.OnClick = [this] { btnOKClick(); };
//       SetDefaultButton(&btnOK);   // Enter; SetCancelButton for Esc
//     }
//     ~TMyForm() override { Destroy(); }   // window gone before the members
//     gui::Label lblName;
//     gui::LabeledEdit editName;
//     gui::Button btnOK;
//    private:
//     void btnOKClick() { Close(); }
//   };
//
// Life: a form owned by an object is a member or unique_ptr and lives until its
// owner frees it (a dialog's owner on the close the dialog posts it); Close()
// only hides it. Show() shows without
// waiting, as a modeless window: Tab, Enter and Esc work through the dialog manager.
//
// Texts: captions, menus, hints, combo items, tree nodes and Text()/SetText()
// are UTF-8, as all text inside. Every window is a Unicode window, so they
// read right on any system code page.
//
// Every rectangle, font and indent is scaled by the system DPI (Scale); at 96 DPI
// every size is the one written in the table. Exceptions from handlers never reach
// Windows: the one dispatch hands them to the general error display.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace gui {

// ---- texts ----

// Every window of this layer is a Unicode window: UTF-8 in, UTF-16 to Windows.
std::wstring Wide(const std::string& text);

// ---- DPI and fonts ----

// The system DPI (LOGPIXELSY of the screen), read once.
int Dpi();
// Pixels at 96 DPI made pixels at the system DPI.
int Scale(int pixels96);
// For tests: the DPI that Scale uses from now on; 0 goes back to the system's.
void SetDpiForTesting(int dpi);
// "MS UI Gothic", Shift-JIS, the given character height (96-DPI pixels),
// created once per height and DPI and kept for the program's life.
HFONT UiFont(int characterHeight96 = 12);

// ---- windows ----

class MessageWatch;
class Control;

// A window of our own class keeps its object in its user data from
// WM_NCCREATE on, a standard control as the reference data of our subclass.
class Window {
 public:
  Window() = default;
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND Handle() const { return hwnd_; }
  // The window destroyed now (its object stays).
  void Destroy();

  void SetBounds(int left, int top, int width, int height);  // device pixels
  RECT Bounds() const;  // relative to the parent's client area (screen for top-level)
  int Width() const;
  int Height() const;
  bool Visible() const;
  void SetEnabled(bool enabled);
  bool Enabled() const;
  // Text() and SetText() are UTF-8; WideText() is the text as the control
  // holds it.
  std::string Text() const;
  std::wstring WideText() const;
  void SetText(const std::string& text);
  void SetFont(HFONT font);

  // The controls a form placed on this window (a form or a panel), in order;
  // their commands and notifications to it go back to them (Reflected).
  const std::vector<Control*>& Placed() const { return placed_; }
  // Docks the placed controls by their alignment, and those of the panels among them.
  void Realign();
  // A watch sees this window's messages before the window handles them.
  void SetWatch(MessageWatch* watch) { watch_ = watch; }

 protected:
  // Handles one message; the default passes it on (DefWindowProc, or the
  // standard control's own procedure).
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
  // A command or notification this window sent to its parent, handed back.
  virtual void Reflected(UINT, WPARAM, LPARAM, LRESULT*) {}

  // Creates a window of our own class.
  void CreateOwn(DWORD exStyle, const std::string& caption, DWORD style, int x, int y, int w, int h, HWND parent,
                 HMENU menuOrId);
  // Creates a standard control and subclasses it.
  void CreateStandard(DWORD exStyle, const wchar_t* className, const std::string& caption, DWORD style, int x,
                      int y, int w, int h, HWND parent, int id);

 private:
  friend class Form;  // places controls on its panels too
  static LRESULT CALLBACK OwnProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  Control* Sender(UINT message, LPARAM lParam) const;
  void Unbind();
  HWND hwnd_ = nullptr;
  WNDPROC standardProc_ = nullptr;  // a subclassed control's own procedure
  MessageWatch* watch_ = nullptr;
  std::vector<Control*> placed_;
};

class MessageWatch {
 public:
  virtual ~MessageWatch() = default;
  virtual void Seen(Window& window, UINT message, WPARAM wParam) = 0;
};

// ---- controls ----

enum class Align { None, Top, Bottom, Left, Right, Client };

// What a table row may ask of its control at creation, beside its place.
enum Option : unsigned {
  kRightAligned = 1,         // label: text flush right
  kShowSelectionAlways = 2,  // tree: the selection drawn without the focus too
  kNoTabStop = 4,            // tree: Tab passes it by
  kEtched = 8,               // panel: an etched frame
  kEtchedTopOnly = 16,       // panel: only the frame's top edge (a bevel line)
};

struct Placement {
  Control* control;
  const char* name;
  std::string caption;
  int left, top, width, height;  // 96-DPI pixels, relative to the parent's client area
  Control* parent = nullptr;     // a panel, or null for the form itself
  Align align = Align::None;
  unsigned options = 0;          // Option bits
  HIMAGELIST images = nullptr;   // tree: one picture for every node
};

// A child control. Hint texts show in a tooltip when the form has them enabled.
class Control : public Window {
 public:
  Align align = Align::None;
  std::string Name;
  std::string Hint;

  // Creates the control as a child of `parent` at a device-pixel rectangle.
  virtual void Create(HWND parent, const Placement& row, const RECT& rect, int id) = 0;
  // Told where it was placed: the form or panel, and the control placed last
  // on the same side before it (null for none).
  virtual void Placed(Window& container, Control* sameSide) {
    (void)container;
    (void)sameSide;
  }
  // The window whose caption must fit it, and the pixels it needs beside its
  // text (a check box's glyph); none for a control whose size is its own.
  virtual Window* FittedCaption(int* besideText) {
    (void)besideText;
    return nullptr;
  }
};

class Label : public Control {
 public:
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  // Sizes the label to its text in its font, left and top kept: a label that
  // is not of fixed size fits its text whatever font the system gave it.
  void FitToText();
  Window* FittedCaption(int* besideText) override;
};

class Button : public Control {
 public:
  std::function<void()> OnClick;
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  void Click();
 protected:
  void Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

class CheckBox : public Button {
 public:
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  bool Checked() const;
  void SetChecked(bool checked);
  Window* FittedCaption(int* besideText) override;
};

class GroupBox : public Control {
 public:
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A drop-down list (no typing): items and the chosen index (-1 for none).
class ComboBox : public Control {
 public:
  std::function<void()> OnChange;
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  void SetItems(const std::vector<std::string>& items);
  int ItemIndex() const;
  void SetItemIndex(int index);
 protected:
  void Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

// An edit box with its label above it (3 px apart); the table's caption is the
// label's text, the rectangle the edit box's.
class LabeledEdit : public Control {
 public:
  std::function<void()> OnChange;
  Label EditLabel;
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  Window* FittedCaption(int* besideText) override;
 protected:
  void Reflected(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};

// A container with optional bevels; also the plain bevel line (Edges = BF_TOP).
class Panel : public Control {
 public:
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
 private:
  UINT edges_ = 0;  // the etched frame's edges (BF_*), none when 0
};

// Dragging resizes the control docked just before it on the same side; the
// client control keeps at least MinSize too.
class Splitter : public Control {
 public:
  int MinSize = 30;  // 96-DPI pixels
  Control* Neighbour = nullptr;
  Window* Container = nullptr;  // the form or panel it was placed on
  std::function<void()> OnMoved;
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  void Placed(Window& container, Control* sameSide) override {
    Container = &container;
    Neighbour = sameSide;
  }
 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
 private:
  bool Vertical() const { return align == Align::Left || align == Align::Right; }
  void DragTo(POINT screen);
  bool dragging_ = false;
  POINT start_{};
  int startSize_ = 0;
};

class ProgressBar : public Control {
 public:
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  void SetRange(int minimum, int maximum);
  void SetPosition(int position);
  int Position() const;
};

class PictureBox : public Control {
 public:
  void Create(HWND parent, const Placement& row, const RECT& rect, int id) override;
  void SetIcon(HICON icon);  // shown at the control's size; the caller keeps the icon
  HICON Icon() const { return icon_; }
 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
 private:
  HICON icon_ = nullptr;
};

// ---- menus ----

struct MenuItem {
  std::string Name;
  std::string Caption;  // "-" for a separator
  std::function<void()> OnClick;
  std::vector<MenuItem> Items;  // a submenu
  UINT Id = 0;
};

// A menu bar or pop-up menu built from items; command ids are unique
// program-wide, so a WM_COMMAND from any menu finds its item.
class Menu {
 public:
  Menu() = default;
  ~Menu();
  Menu(const Menu&) = delete;
  Menu& operator=(const Menu&) = delete;
  void Build(std::vector<MenuItem> items, bool popup);
  HMENU Handle() const { return menu_; }
  MenuItem* Find(const std::string& name);
  MenuItem* FindId(UINT id);
  // A pop-up menu at a screen point; the chosen item's OnClick runs before
  // it returns.
  void Popup(HWND owner, POINT screen);

 private:
  HMENU menu_ = nullptr;
  std::vector<MenuItem> items_;
};

// ---- forms ----

constexpr DWORD kSizeableFrame = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
constexpr DWORD kDialogFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

struct FormShape {
  std::string Caption;
  int Width;   // outer size, 96-DPI pixels
  int Height;
  DWORD Style;
  DWORD ExStyle;
};

class Form : public Window {
 public:
  std::function<void()> OnShow;          // hidden -> visible
  std::function<void()> OnClose;         // close box, Esc without a cancel button, Close()
  std::function<void()> OnResize;

  void CreateForm(const FormShape& shape, HWND owner);
  // Creates and places the controls of the table, in order, and docks those
  // with an alignment.
  void Place(std::initializer_list<Placement> table);
  void SetMenu(Menu* menu);
  // Shows the form without waiting (OnShow runs when it was hidden) and brings
  // it forward.
  void Show();
  void Hide();
  void Close();
  // Enter clicks it, and it is drawn as the default button.
  void SetDefaultButton(Button* button);
  void SetCancelButton(Button* button) { cancelButton_ = button; }
  // Tooltips for the controls that have a Hint; they stay up as long as the
  // application's hint hide pause.
  void EnableHints();
  // Centres the form on another window (or the work area when null).
  void CenterOn(HWND other);
  // Every control placed, on the form itself or on its panels.
  const std::vector<Control*>& Controls() const { return controls_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  std::vector<Control*> controls_;
  Menu* menu_ = nullptr;
  Button* defaultButton_ = nullptr;
  Button* cancelButton_ = nullptr;
  HWND tooltip_ = nullptr;
  int nextId_ = 1000;
};

// Tells when the pointer has left a form, from the form itself or straight
// from one of its controls; not while one of its menus is open, nor while the
// form is hidden. Whether the pointer is really outside is the listener's to
// judge (moving onto a control leaves the form's own client area).
class LeaveWatch : public MessageWatch {
 public:
  // Told whenever the pointer may have left the form: a leave notice of the
  // form or of a control, and a short timer's tick while the form is shown
  // (the order and timing of leave notices between a control and its form
  // cannot be relied on, Wine's least of all). Only while a menu of the form
  // is not open, and once the pointer has been over the form since it was
  // last shown: a form shown away from the pointer stays.
  std::function<void()> OnLeave;
  // Watches the form and the controls placed on it so far.
  void Attach(Form& form);
  void Seen(Window& window, UINT message, WPARAM wParam) override;

 private:
  static constexpr UINT_PTR kTimerId = 0x4C57;
  void Check();
  Form* form_ = nullptr;
  // The one window that the thread's leave tracking is on (the system keeps
  // one per thread).
  HWND tracked_ = nullptr;
  bool trackedNonClient_ = false;
  bool inMenu_ = false;
  bool pointerSeen_ = false;
};

// Makes every caption of the controls in `groups` fit, in the font really
// chosen: a caption that does not fit grows to the right, what stands beside
// it on its row moves along, its group grows with it, and so do the other
// groups of its column (the groups with the same left edge). What lies to the
// right of a grown column moves right; a control under the column outside its
// groups (a button) moves with the column's right edge, or widens with it when
// it spans the column. The form grows by as much. Top-left corners of the
// design stay where they are in every column that did not move.
void GrowToFitCaptions(Form& form, const std::vector<GroupBox*>& groups);
// Pixels a control's caption needs in the control's own font.
SIZE CaptionExtent(const Window& control);

// Docks `controls` inside `area` (device pixels) by their alignment, in order:
// top and bottom first, then left and right, then the client.
void DockControls(const std::vector<Control*>& controls, RECT area);

}  // namespace gui
