// SkinWindow: a borderless top-level window that the toolkit draws entirely itself. Everything in
// it (background, drop shadow, frame lines, title, caption buttons and the elements) is composed
// into the main surface and presented: with UpdateLayeredWindow and per-pixel alpha when layered,
// else by BitBlt to the window's DC.
//
// Contract:
// - Coordinates are window coordinates (origin at the window's top-left, shadow included) unless
//   an operation says screen.
// - Optional arguments follow the toolkit convention: a setter stores a value only when it is given
//   and always answers the current value.
// - The object must outlive its window or be destroyed first: the window's "DoDA_THIS" property
//   points at it, so it is neither copyable nor movable. Destroy (or the destructor) leaves the
//   object in its initial state; it may be created again.
// - Everything runs on the GUI thread. Close with a close effect re-enters the message loop until
//   its last frame, so every handler must tolerate being entered while a close is pending.
//
// The operations are virtual and stand in the order of the toolkit's operation table for this
// class (after destruction and copy).
#pragma once

#include <windows.h>
#include <gdiplus.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "toolkit/draw/colour.h"
#include "toolkit/draw/fonts.h"
#include "toolkit/draw/gdi_owners.h"
#include "toolkit/draw/wide_text.h"
#include "toolkit/window/caption_button.h"
#include "toolkit/window/object_registry.h"
#include "toolkit/window/transition_engine.h"
#include "toolkit/window/window_geometry.h"
#include "toolkit/window/window_surface.h"

// Window timers: the low word is the purpose, the high word a detail.
inline constexpr UINT_PTR kPresentTimer = 203;           // deferred presentation, every 30 ms
inline constexpr UINT_PTR kCaptionFadeTimer = 301;       // high word: button position (1-based)
inline constexpr UINT_PTR kTransitionTimer = 604;        // high word: 1 showing, 0 hiding/closing
inline constexpr UINT kPresentTimerPeriod = 30;
inline constexpr UINT kCaptionFadePeriod = 5;

class SkinWindow {
 public:
  // A program's before- or after-message hook: (window, message, wParam, lParam, result) → handled.
  // Truth means the message is handled and *result is the answer.
  using MessageHook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT*)>;
  // Told about caption-button commands (window, kind); truth means the program handled it.
  using CaptionButtonHandler = std::function<bool(HWND, int32_t)>;

  SkinWindow() = default;
  virtual ~SkinWindow();  // destroys a window that still exists
  SkinWindow(const SkinWindow&) = delete;  // one window, one object: see the class comment
  SkinWindow& operator=(const SkinWindow&) = delete;

  // ---- Message handling and life --------------------------------------------------------------
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual uint32_t SetShadowColour(uint32_t colorRef);
  virtual void OnTimer(WPARAM timerId);
  virtual void Destroy();
  virtual void Close();
  // Creates the window (or adopts hostWindow when that is an existing window) and draws it; does
  // not show it. Always answers true; a failed CreateWindowExW leaves WindowHandle() 0.
  // Omitted: bounds (x, y, 380, 250) at 0, 0; styleFlags DefaultWindowStyle(); themeSource false;
  // innerBorderColour ARGB(96,255,255,255); outerBorderColour ARGB(96,0,0,0); dragAnywhere false;
  // backgroundImage DefaultBackgroundImage(); the last argument is the layout flags of a background
  // image, or else the background colour (ARGB(1,255,255,255) when omitted).
  virtual bool Create(HWND hostWindow, const FontDescription& titleFont,
                      std::optional<std::string> title = std::nullopt,
                      std::optional<Rect> bounds = std::nullopt,
                      std::optional<uint32_t> styleFlags = std::nullopt,
                      std::optional<bool> themeSource = std::nullopt,
                      std::optional<Argb> innerBorderColour = std::nullopt,
                      std::optional<Argb> outerBorderColour = std::nullopt,
                      std::optional<bool> dragAnywhere = std::nullopt,
                      std::optional<std::vector<uint8_t>> backgroundImage = std::nullopt,
                      std::optional<uint32_t> backgroundColourOrImageLayout = std::nullopt);
  virtual bool SetMoveLocked(std::optional<bool> locked = std::nullopt);
  virtual void SetMessageHooks(std::optional<CaptionButtonHandler> captionButtonHandler = std::nullopt,
                               std::optional<MessageHook> beforeMessageHook = std::nullopt,
                               std::optional<MessageHook> afterMessageHook = std::nullopt);
  // kFocusLost to every element of the window; no element keeps the focus.
  virtual void DropFocusAll();
  // A small text drawn at the right end of the title row (PaintBackgroundExtra); `extra` is its
  // distance in pixels from the caption buttons. Answers a copy of the current text.
  virtual std::string SetExtraText(std::optional<std::string> text = std::nullopt,
                                   std::optional<int32_t> extra = std::nullopt);

  // ---- Identity and geometry --------------------------------------------------------------------
  virtual HWND WindowHandle() const;
  virtual ObjectId Id() const;  // elements are created with it as their parent
  virtual int32_t Right() const;
  virtual int32_t Bottom() const;
  virtual int32_t Width() const;
  virtual int32_t Height() const;
  virtual int32_t Left() const;
  virtual int32_t Top() const;
  // MoveWindow with repaint; omitted values are the current bounds.
  virtual void Move(std::optional<int32_t> x = std::nullopt, std::optional<int32_t> y = std::nullopt,
                    std::optional<int32_t> width = std::nullopt, std::optional<int32_t> height = std::nullopt);
  // Stores the title (GBK), sets the window text and lays out the title area; answers the title.
  virtual std::string SetTitle(std::optional<std::string> text = std::nullopt);
  // The title's length in UTF-16 characters.
  virtual int32_t TitleValue();
  virtual bool SetTitleAreaEnabled(std::optional<bool> enabled = std::nullopt);
  virtual int32_t SetCornerRadius(std::optional<int32_t> radius = std::nullopt, bool redraw = false);

  // ---- Drawing and showing ------------------------------------------------------------------------
  virtual void Redraw(bool now = false);
  virtual void Rebuild();
  virtual void RebuildAndRedraw();
  virtual void Refresh();
  // SW_HIDE when visible is given as false, else SW_SHOW; answers IsWindowVisible.
  virtual bool Show(std::optional<bool> visible = std::nullopt);
  virtual bool SetDisabled(std::optional<bool> disabled = std::nullopt);
  virtual void ClearTopmost();
  virtual void SendToBottom();
  virtual int32_t KindCode1() const;
  virtual int32_t KindCode5() const;
  virtual int32_t KindCode6() const;
  virtual int32_t KindCode7() const;
  virtual bool SetTopmost(std::optional<bool> topmost = std::nullopt);
  virtual HDC WindowDc() const;
  virtual bool SetResizable(std::optional<bool> resizable = std::nullopt);
  virtual bool SetLayered(std::optional<bool> enable = std::nullopt, bool shadow = false, bool redraw = false);
  virtual int32_t ShadowSize() const;
  // DwmEnableBlurBehindWindow over the area inside the shadow; only on system major version 6.
  virtual bool SetBlurBehind(bool enable, int32_t radius);
  virtual uint8_t SetConstantAlpha(std::optional<int32_t> alpha = std::nullopt, bool redraw = false);
  // Store effect and interval (16 ms when 0 or omitted) when the effect is given; answer the effect
  // argument (the current effect when omitted).
  virtual int32_t SetShowEffect(std::optional<int32_t> effect = std::nullopt,
                                std::optional<int32_t> interval = std::nullopt);
  virtual int32_t SetCloseEffect(std::optional<int32_t> effect = std::nullopt,
                                 std::optional<int32_t> interval = std::nullopt);
  // Nine-grid margins of the background images: x left, y top, width right, height bottom.
  virtual void SetImageMargins(const Rect& margins);
  virtual void StopTransition(bool redraw = false);
  virtual bool TransitionRunning() const;
  // The background painter's switches (imageLayoutFlags): 1 images unscaled, 4 no colour fill,
  // 8 a vertical gradient instead of the flat colour.
  virtual uint32_t SetBackgroundOption(std::optional<uint32_t> value = std::nullopt);
  virtual bool SetMaximiseOnDoubleClick(std::optional<bool> enabled = std::nullopt);
  // With a corner radius: the rounded region (apply) or none; nothing without one.
  virtual void SetRegion(bool apply);

  // ---- Caption buttons, moving and resizing ------------------------------------------------------
  virtual int32_t CaptionStripWidth() const;
  virtual Rect ComputeCaptionStrip() const;
  virtual void BuildCaptionButtons(uint32_t styleFlags);
  virtual void LayoutCaptionButtons(std::optional<int32_t> width = std::nullopt);
  // Draws every visible button for its state (and hover fade) at its bounds.
  virtual void DrawCaptionButtons(Gdiplus::GpGraphics* graphics);
  // Caption-button handling of a mouse message at `point` (none: the mouse left the window).
  virtual void HandleCaptionMouse(std::optional<Point32> point, UINT message);
  virtual bool SetDragAnywhere(std::optional<bool> enabled = std::nullopt);
  virtual void DoCaptionCommand(int32_t kind);
  virtual void PlaceMaximised(const Rect& target);
  virtual bool NotifyCaptionButton(int32_t kind);
  virtual void TrackMouseLeave();
  // Hands the window to the system's move loop from the cursor's position, as a press on the title
  // area does, and when the loop returns clears what its swallowed button-up would have cleared
  // (AfterSystemLoop). A program that moves the window from an element's handler calls this rather
  // than sending WM_NCLBUTTONDOWN itself.
  virtual void StartSystemMove();

  // ---- Surfaces and painting ----------------------------------------------------------------------
  virtual void RebuildSurfaces();
  virtual void LayoutTitleArea();
  virtual void PaintBackground(Gdiplus::GpGraphics* graphics, HDC dc);
  virtual int32_t SetCaptionButtonMargin(std::optional<int32_t> pixels = std::nullopt);
  virtual void SetIconImage(std::span<const uint8_t> imageBytes);
  virtual bool SetIconFile(const std::string& path);
  virtual void RemoveIcon();
  virtual void PaintBackgroundFill(Gdiplus::GpGraphics* graphics, HDC dc);
  // Draws the extra text (SetExtraText) with `font` when given, else with the title font.
  virtual void PaintBackgroundExtra(Gdiplus::GpGraphics* graphics,
                                    std::optional<FontDescription> font = std::nullopt);
  // Replaces the background image (bytes of any image format); its average colour becomes the
  // background colour; layoutFlags replace imageLayoutFlags when given. Repaints and redraws.
  virtual void SetBackgroundImage(std::span<const uint8_t> imageBytes,
                                  std::optional<uint32_t> layoutFlags = std::nullopt);
  virtual void PaintFrame(Gdiplus::GpGraphics* graphics, HDC dc);
  virtual void PaintElements(Gdiplus::GpGraphics* graphics);
  virtual void SetMinTrackSize(int32_t width, int32_t height);
  // Sets the sizing cursor of the border zone under (x, y); false when none applies.
  virtual bool BorderCursor(int32_t x, int32_t y);
  // Starts the system resize of the border zone under (x, y); answers the zone (0: none started).
  virtual int32_t BeginBorderResize(int32_t x, int32_t y);
  // Copies the main surface to the screen: the whole window when layered (with constantAlpha),
  // else `rect` (the whole window when omitted). Nothing while a transition runs.
  virtual void Present(std::optional<Rect> rect = std::nullopt);
  virtual intptr_t Self(intptr_t value) const;

  // ---- Beyond the operation table: state for the toolkit and for tests -------------------------
  const Rect& bounds() const { return layout_.bounds; }
  bool layered() const { return look_.layered; }
  bool shadowEnabled() const { return look_.shadowEnabled; }
  uint8_t constantAlpha() const { return look_.constantAlpha; }
  bool maximised() const { return activity_.maximised; }
  bool resizable() const { return behaviour_.resizable; }
  bool dragAnywhere() const { return behaviour_.dragAnywhere; }
  bool hasTitleArea() const { return layout_.hasTitleArea; }
  bool themeSource() const { return look_.themeSource; }
  int32_t cornerRadius() const { return look_.cornerRadius; }
  uint32_t shadowColour() const { return look_.shadowColour; }
  Argb backgroundColour() const { return look_.backgroundColour; }
  Argb innerBorderColour() const { return look_.innerBorderColour; }
  Argb outerBorderColour() const { return look_.outerBorderColour; }
  uint32_t imageLayoutFlags() const { return look_.imageLayoutFlags; }
  uint32_t lastCreationArgument() const { return behaviour_.lastCreationArgument; }
  int32_t captionButtonMargin() const { return look_.captionButtonMargin; }
  Size32 minTrackSize() const { return {behaviour_.minTrackWidth, behaviour_.minTrackHeight}; }
  const Rect& titleArea() const { return layout_.titleArea; }
  const Rect& captionButtonStrip() const { return layout_.captionButtonStrip; }
  const std::vector<CaptionButton>& captionButtons() const { return captionButtons_; }
  int32_t pressedCaptionButton() const { return activity_.pressedCaptionButton; }
  int32_t showEffect() const { return behaviour_.showEffect; }
  int32_t showInterval() const { return behaviour_.showInterval; }
  int32_t closeEffect() const { return behaviour_.closeEffect; }
  int32_t closeInterval() const { return behaviour_.closeInterval; }
  int32_t transitionProgress() const { return activity_.transitionProgress; }
  const TransitionEngine& transitionEngine() const { return transitionEngine_; }
  const WindowSurface& mainSurface() const { return mainSurface_; }
  const WindowSurface& backgroundSurface() const { return backgroundSurface_; }
  HWND adoptedWindow() const { return behaviour_.hostWindow; }
  // How many presentations (Present calls that reached the screen) the window has made.
  int32_t presentationCount() const { return presentationCount_; }

  // The toolkit window procedure that subclasses every SkinWindow.
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // Message handlers (skin_window.cpp, skin_window_chrome.cpp).
  void OnMoveMessage();
  void OnSizeMessage(WPARAM kind);
  void OnPaintMessage();
  void OnSetFocusMessage();
  bool RunCloseTransition();  // false when the window went away during the transition
  void StartShowTransition(bool showing);
  void OnMouseMove(Point32 point);
  void OnLeftButtonDown(Point32 point);
  void OnLeftButtonUp(Point32 point);
  void OnLeftDoubleClick(Point32 point);
  void AfterSystemLoop();
  void RedrawCaptionButton(size_t index);
  void StartCaptionFade(size_t index);
  void OnCaptionFadeTick(WPARAM timerId);
  void ReadBoundsFromWindow();
  void ResetSettings();  // every value group back to its defaults (Destroy)
  // Painting helpers (skin_window_paint.cpp).
  void PaintShadow(Gdiplus::GpGraphics* graphics, int32_t width, int32_t height);
  void PaintFrameLines(Gdiplus::GpGraphics* graphics);
  void PaintIconAndTitle(Gdiplus::GpGraphics* graphics);
  void PaintBackgroundImages(Gdiplus::GpGraphics* graphics);
  void ForEachElement(uint32_t code);

  // Settings and state that Destroy returns to these defaults, by assignment (ResetSettings): the
  // defaults are written here once. A window created again starts from them.
  // Where the window stands and what its title row holds.
  struct Layout {
    Rect bounds;                     // screen position and size
    Rect titleArea;
    Rect titleTextRect;
    WideText title;
    bool hasTitleArea = false;
    Rect captionButtonStrip;
  };
  // What the window looks like.
  struct Look {
    Argb backgroundColour = 0;
    Argb innerBorderColour = 0;
    Argb outerBorderColour = 0;
    Argb imageAverageColour = 0;
    uint32_t imageLayoutFlags = 0;
    Rect imageMargins;               // left, top, right, bottom in x, y, width, height
    int32_t cornerRadius = 0;
    bool themeSource = false;
    bool layered = false;
    uint8_t constantAlpha = 255;
    bool shadowEnabled = false;
    int32_t shadowSize = 0;
    uint32_t shadowColour = 0;
    int32_t captionButtonMargin = 10;
    std::string extraText;
    int32_t extraValue = 0;
  };
  // The icon shown left of the title: an image of its own, or the window's small icon.
  struct TitleIcon {
    UniqueGpImage image;
    UniqueHIcon fromFile;
    HICON windowIcon = nullptr;      // not owned (WM_GETICON)
    bool removed = false;
  };
  // How the window answers the user and the program.
  struct Behaviour {
    HWND hostWindow = nullptr;       // the adopted window, or 0
    uint32_t lastCreationArgument = 1;
    bool resizable = false;
    bool dragAnywhere = false;
    bool maximiseOnDoubleClick = false;
    bool moveLocked = false;
    int32_t minTrackWidth = 200;
    int32_t minTrackHeight = 80;
    int32_t showEffect = 0;
    int32_t showInterval = 0;
    int32_t closeEffect = 0;
    int32_t closeInterval = 0;
    MessageHook beforeMessageHook;
    MessageHook afterMessageHook;
    CaptionButtonHandler captionButtonHandler;
  };
  // What is going on at the moment: presses, tracking, transitions, closing.
  struct Activity {
    int32_t pressedCaptionButton = 0;  // 1-based, 0 none
    bool mouseTracked = false;
    bool leftButtonDown = false;
    bool suspendLayout = false;
    bool nonClientDrag = false;
    bool maximised = false;
    bool placingMaximised = false;
    int32_t transitionProgress = 0;
    int32_t transitionDirection = 0;
    bool transitionRunning = false;
    bool closing = false;            // a close transition is pumping messages
  };

  ObjectId objectId_ = 0;
  HWND windowHandle_ = nullptr;    // owned: destroyed by Destroy (an adopted window too)
  UniqueWindowDc windowDc_;        // GetDC of the window, the destination of every presentation
  WindowSurface mainSurface_;
  WindowSurface backgroundSurface_;
  UniqueGpImage backgroundImage_;
  UniqueGpImage derivedImage_;     // a shade over the background image, drawn after it
  FontObject titleFont_;
  std::vector<CaptionButton> captionButtons_;
  TransitionEngine transitionEngine_;
  Layout layout_;
  Look look_;
  TitleIcon icon_;
  Behaviour behaviour_;
  Activity activity_;
  bool inDestroyMessage_ = false;  // Destroy runs for WM_DESTROY: the window is already going
  int32_t presentationCount_ = 0;
};
