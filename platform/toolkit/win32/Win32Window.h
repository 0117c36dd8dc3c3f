#pragma once

#include "platform/toolkit/Backend.h"
#include "platform/toolkit/Controls.h"
#include "platform/toolkit/Dialog.h"
#include "platform/toolkit/win32/DialogResource.h"
#include "platform/toolkit/win32/Win32Accessible.h"
#include "platform/toolkit/win32/Win32Controls.h"

#include <memory>
#include <optional>
#include <vector>

#include <windows.h>

namespace varnak::toolkit::win32 {

class Win32Backend;

// A dialog or page window created from a template, with its controls. Owned by the
// toolkit's Dialog; destroying it destroys the window.
class Win32Window : public DialogWindow {
public:
    Win32Window(Win32Backend& backend, const DialogTemplate& tmpl, Dialog& owner, TemplateRole role,
                HWND parent);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    Control* Item(int id) override;
    void EndModal(int result) override;
    void StartTimer(int milliseconds) override;

    HWND Handle() const { return hwnd_; }
    Win32Backend& Backend() const { return backend_; }
    void Notify(int id, Notification code) { owner_.Notify(id, code); }

    // The window of ours behind a dialog handle, or null.
    static Win32Window* FromHandle(HWND dialog);
    // The control that hwnd is or lies inside.
    std::optional<ControlKind> KindOf(HWND hwnd) const;
    int IdOf(HWND hwnd) const;

    void CheckListSelections();

    // Top-level dialogs: places the window inside the work area of its monitor; a client
    // larger than that scrolls.
    void FitToScreen();
    // Scrolls a client that scrolls so that the control, one of its own or inside a page,
    // is in view.
    void ScrollIntoView(HWND control);

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Each control answers assistive technology with the role of its kind and, an input
    // control, with its label's text (LabelOf) or the name its template gives it.
    void AnswerAssistiveTechnology(const DialogTemplate& tmpl);
    void CancelFromKeyboard();
    void OnScroll(int bar, int request);
    void ScrollTo(int bar, int position);
    Win32Item* ItemByHandle(HWND hwnd) const;
    const Control* ControlByHandle(HWND hwnd) const;

    Win32Backend& backend_;
    Dialog& owner_;
    TemplateRole role_;
    // Read by the controls' windows until they are destroyed, with hwnd_.
    std::vector<std::unique_ptr<AccessibleName>> names_;
    HWND hwnd_ = nullptr;
    std::vector<std::unique_ptr<Control>> controls_;
};

// The property sheet inside a dialog: a control-parent child window holding a tab control,
// with the pages' windows placed in its display area. It has no buttons of its own.
class Win32Sheet : public SheetWindow {
public:
    Win32Sheet(Win32Backend& backend, PropertySheet& sheet, HWND parent, POINT place);
    ~Win32Sheet() override;
    Win32Sheet(const Win32Sheet&) = delete;
    Win32Sheet& operator=(const Win32Sheet&) = delete;

    void ShowPage(int index, DialogWindow& page) override;
    // The page step pages after (before, if negative) the active one, round the tabs, the
    // way a click on its tab does: for Ctrl+Tab and its kin.
    void SwitchBy(int step);
    // Puts a page's new window into the display area.
    void Place(HWND page) const;

    HWND Handle() const { return hwnd_; }
    HWND Tabs() const { return tabs_; }

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // What a tab click and the keyboard do alike.
    void Activate(int index);

    Win32Backend& backend_;
    PropertySheet& sheet_;
    HWND hwnd_ = nullptr;
    HWND tabs_ = nullptr;
    HWND shown_ = nullptr;
    POINT pageOrigin_{};
};

} // namespace varnak::toolkit::win32
