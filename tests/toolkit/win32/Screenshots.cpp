// varnak_screenshots.exe: the real dialog on the Win32 backend, with the demo overlays and a
// few entries on every page, pictured page by page as BMP files in C:\varnak-screenshots, for
// a person to look at: the initial focus, each page, the keyboard's focus in a page and on OK,
// and the whole screen, to show that the dialog fits it. Ends with Cancel, so nothing is saved.
#include "platform/registry/Registry.h"
#include "platform/toolkit/Driver.h"
#include "platform/toolkit/win32/Win32Driver.h"
#include "ui/COptionsDlg.h"
#include "ui/ControlIds.h"

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace varnak::ids;
using varnak::toolkit::Driver;

constexpr const char* OutputDirectory = "C:\\varnak-screenshots";

// The demo overlay directory as Wine sees the Unix path: on drive Z:.
std::string DemoOverlays() {
    std::string path = "Z:" VARNAK_SOURCE_DIR "/examples/overlays";
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

void SetWorkingDirectory(varnak::platform::Registry& registry, const std::string& directory) {
    std::unique_ptr<varnak::platform::RegistryKey> key;
    if (registry.CreateKey("SOFTWARE\\quet\\quetprint", varnak::platform::KeyReadWriteAccess,
                           key) == varnak::platform::RegSuccess) {
        key->SetValue("WorkingDirectory", varnak::platform::RegSz,
                      reinterpret_cast<const std::uint8_t*>(directory.c_str()),
                      static_cast<std::uint32_t>(directory.size() + 1));
    }
}

// The window as it is on the screen, as a bottom-up 24-bit BMP.
bool Capture(HWND window, const std::string& file) {
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER header{};
    header.bfType = 0x4D42; // "BM"
    header.bfOffBits = sizeof header + sizeof info;
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

// The dialog, or with whole set the screen it is on.
bool Shoot(const std::string& name, bool whole = false) {
    const HWND dialog = GetActiveWindow();
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // Wine hands what was drawn to the display when the thread waits for messages.
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
    const std::string file = std::string(OutputDirectory) + "\\" + name + ".bmp";
    const bool written = Capture(whole ? GetDesktopWindow() : dialog, file);
    std::printf("%s %s\n", written ? "wrote" : "could not write", file.c_str());
    return written;
}

// Tab, as the user presses it, until the control has the focus; false if it never does.
bool TabTo(varnak::toolkit::win32::ScriptedWin32Backend& backend, int id) {
    for (int press = 0; press < 60; ++press) {
        if (varnak::toolkit::win32::ScriptedWin32Backend::FocusId() == id) {
            return true;
        }
        backend.PressKey(VK_TAB);
    }
    return false;
}

} // namespace

int main() {
    CreateDirectoryA(OutputDirectory, nullptr);
    auto registry = varnak::platform::OpenMachineRegistry();
    SetWorkingDirectory(*registry, DemoOverlays());

    varnak::toolkit::win32::ScriptedWin32Backend backend;
    varnak::JobSettings settings;
    bool ok = true;
    backend.SetUser([&](Driver& user) {
        ok = Shoot("0-initial-focus") && Shoot("0-initial-screen", true);
        ok = ok && user.Pick(IDC_DEFAULT_OVERLAY, "2") && user.Pick(IDC_DEFAULT_TRAY, "Bond");
        ok = ok && user.Type(IDC_CHAPTER_PAGE_NUMBERS, "10,20") &&
             user.Type(IDC_CHAPTER_COPIES, "2") && user.Pick(IDC_CHAPTER_OVERLAY, "3") &&
             user.Pick(IDC_CHAPTER_TRAY, "Color") && user.Click(IDC_CHAPTER_APPLY);
        ok = ok && Shoot("1-chapter-printing");
        ok = ok && user.SelectTab(1) && user.Pick(IDC_COVER_OVERLAY, "1") &&
             user.Pick(IDC_COVER_TRAY, "Plain") && Shoot("2-cover-page");
        ok = ok && user.SelectTab(2) && user.Pick(IDC_FOOTER_OVERLAY, "12") &&
             Shoot("3-footer-page");
        ok = ok && user.SelectTab(3) && user.Type(IDC_PAGE_NUMBERS, "3,5") &&
             user.Pick(IDC_PAGE_OVERLAY, "12") && user.Pick(IDC_PAGE_TRAY, "Letterhead") &&
             user.Click(IDC_PAGE_APPLY) && user.SelectRow(IDC_PAGE_LIST, 1) &&
             Shoot("4-document-printing");
        // The keyboard's focus inside the page, and on OK at the dialog's bottom.
        ok = ok && TabTo(backend, IDC_PAGE_NUMBERS) && Shoot("5-focus-in-page");
        ok = ok && TabTo(backend, IDC_OK) && Shoot("6-focus-on-ok") && Shoot("6-screen", true);
        ok = ok && user.Type(IDC_COPIES, "0") && Shoot("7-no-copies");
        ok = ok && user.PressEscape();
    });
    {
        varnak::COptionsDlg dialog(backend.Get(), *registry, &settings, "-R\"C:\\unused.tkt\"");
        dialog.DoModal();
    }
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\quet");
    if (!ok) {
        std::fprintf(stderr, "varnak_screenshots: an action was refused\n");
    }
    return ok ? 0 : 1;
}
