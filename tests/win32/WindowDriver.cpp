// velor-window-driver.exe: drives velor-bootloader.exe from outside, through the Win32 calls a
// screen reader or an automation tool would use (find windows by class and title, read control
// texts, post clicks, send keys), under Wine or on a real Windows PC.
//
//   velor-window-driver.exe --exe PATH --suite main|stop|startup|early-port|write|replug|ports
//                           [--port COM7] [--image BIN] [--dump BIN] [--shots DIR] [--control DIR]
//
// Exit code 0 when every check held; each failed check is printed.

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

// The program's control identifiers: its public contract with automation tools.
constexpr int kLabel1 = 101;
constexpr int kCbPort = 102;
constexpr int kButtonWrite = 103;
constexpr int kLabelNameOfHex = 104;
constexpr int kGauge = 105;
constexpr int kLabel3 = 106;
constexpr int kProgressbarWrite = 107;
constexpr int kButtonConect = 110;
constexpr int kAboutButton = 203;
constexpr int kMessageText = 0xFFFF;          // the text of a standard message box
constexpr int kMessageIcons[] = {20, 0x440};  // the icon of a message box: Windows, Wine

const std::wstring kCaption = L"KALMIRA-5K-2 Bootloader (від 04.10.24)";

using Clock = std::chrono::steady_clock;

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

void Print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::wstring TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(got));
    return text;
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < end) {
        if (condition()) {
            return true;
        }
        Sleep(20);
    }
    return condition();
}

struct MessageBoxSeen {
    std::wstring Caption;
    std::wstring Text;
    bool Icon = false;
};

class Driver {
  public:
    explicit Driver(const std::wstring& exe) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        std::wstring command = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &startup, &m_process)) {
            Fail("the program did not start");
            return;
        }
        WaitFor(
            [this] {
                return (m_main = FindOwn(L"TMainForm")) != nullptr && IsWindowVisible(m_main);
            },
            30000);
        if (m_main == nullptr) {
            Fail("no main window");
        }
    }
    ~Driver() {
        Close();
        if (m_process.hProcess != nullptr) {
            CloseHandle(m_process.hThread);
            CloseHandle(m_process.hProcess);
        }
    }

    // Closes the main window as the title bar's button does: the program must end. A close is
    // refused while a device operation still runs (a stopped write ends its page first), so
    // the operator's press is repeated.
    void Close() {
        if (m_process.hProcess == nullptr || m_closed) {
            return;
        }
        m_closed = true;
        bool ended = false;
        for (int i = 0; i < 40 && !ended; ++i) {
            if (m_main != nullptr && IsWindow(m_main)) {
                PostMessageW(m_main, WM_CLOSE, 0, 0);
            }
            ended = WaitForSingleObject(m_process.hProcess, 500) == WAIT_OBJECT_0;
        }
        if (!ended) {
            Fail("the program did not end when its window was closed");
            PrintWindows();
            TerminateProcess(m_process.hProcess, 1);
        }
    }

    bool Started() const { return m_main != nullptr; }
    HWND Main() const { return m_main; }
    int Failures() const { return m_failures; }

    void Check(bool ok, const std::string& what) {
        Print(std::string(ok ? "ok    " : "FAIL  ") + what);
        if (!ok) {
            ++m_failures;
        }
    }
    void Fail(const std::string& what) { Check(false, what); }
    void CheckText(const std::wstring& got, const std::wstring& expected, const std::string& what) {
        Check(got == expected,
              what + ": \"" + Utf8(got) + "\"" +
                  (got == expected ? "" : " (expected \"" + Utf8(expected) + "\")"));
    }

    // A top-level window of the program, by class.
    HWND FindOwn(const wchar_t* className) const {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, className, nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == m_process.dwProcessId) {
                return window;
            }
        }
        return nullptr;
    }
    HWND VisibleBox() const {
        HWND window = nullptr;
        while ((window = FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == m_process.dwProcessId && IsWindowVisible(window) &&
                GetDlgItem(window, kMessageText) != nullptr) {
                return window;
            }
        }
        return nullptr;
    }

    std::wstring Control(int id) const { return TextOf(GetDlgItem(m_main, id)); }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(m_main, id)) != FALSE; }
    void Click(int id, HWND parent = nullptr) {
        // Posted: the click may run a long operation inside the program's handler.
        PostMessageW(GetDlgItem(parent != nullptr ? parent : m_main, id), BM_CLICK, 0, 0);
    }

    // The next message box of the program: its caption, text and icon; closed with OK.
    std::optional<MessageBoxSeen> TakeBox(int milliseconds) {
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = VisibleBox()) != nullptr; }, milliseconds)) {
            return std::nullopt;
        }
        Sleep(100);  // its texts are set before it is shown; let it settle for a picture
        MessageBoxSeen seen;
        seen.Caption = TextOf(box);
        seen.Text = TextOf(GetDlgItem(box, kMessageText));
        for (int id : kMessageIcons) {
            const HWND icon = GetDlgItem(box, id);
            seen.Icon = seen.Icon || (icon != nullptr && IsWindowVisible(icon) &&
                                      SendMessageW(icon, STM_GETICON, 0, 0) != 0);
        }
        if (m_boxShot) {
            m_boxShot(box);
        }
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
        return seen;
    }
    // For a failure's diagnosis: the program's top-level windows and the main window's state.
    void PrintWindows() const {
        struct Context {
            DWORD Pid;
        } context{m_process.dwProcessId};
        EnumWindows(
            [](HWND window, LPARAM data) -> BOOL {
                DWORD pid = 0;
                GetWindowThreadProcessId(window, &pid);
                if (pid == reinterpret_cast<Context*>(data)->Pid) {
                    wchar_t name[128] = {};
                    GetClassNameW(window, name, 128);
                    const HWND text = GetDlgItem(window, kMessageText);
                    Print("      window " + Utf8(name) + " \"" + Utf8(TextOf(window)) + "\"" +
                          (IsWindowVisible(window) ? " visible" : " hidden") +
                          (IsWindowEnabled(window) ? "" : " disabled") +
                          (text != nullptr ? ": \"" + Utf8(TextOf(text)) + "\"" : ""));
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&context));
        Print("      foreground is " + std::string(GetForegroundWindow() == m_main ? "" : "not ") +
              "the main window");
    }

    void OnBox(std::function<void(HWND)> shot) { m_boxShot = std::move(shot); }

    // Chooses a port in the list as the operator does: the selection, then its notification.
    bool ChoosePort(const std::wstring& name) {
        const HWND list = GetDlgItem(m_main, kCbPort);
        const auto index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(name.c_str()));
        if (index == CB_ERR) {
            return false;
        }
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PostMessageW(m_main, WM_COMMAND, MAKEWPARAM(kCbPort, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }

    // Presses a key with modifiers in the program's foreground window.
    void Keys(std::vector<WORD> modifiers, WORD key, HWND target = nullptr) {
        const HWND window = target != nullptr ? target : m_main;
        SetForegroundWindow(window);
        // Keys go where the program's own thread has taken the activation, which a busy
        // program does only at its next turn of the message loop.
        const DWORD thread = GetWindowThreadProcessId(window, nullptr);
        WaitFor(
            [&] {
                GUITHREADINFO info = {};
                info.cbSize = sizeof(info);
                return GetGUIThreadInfo(thread, &info) && info.hwndActive == window;
            },
            5000);
        std::vector<INPUT> inputs;
        auto add = [&inputs](WORD vk, bool up) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = vk;
            input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
            if (vk == VK_DELETE) {
                input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            }
            inputs.push_back(input);
        };
        for (WORD m : modifiers) {
            add(m, false);
        }
        add(key, false);
        add(key, true);
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
            add(*it, true);
        }
        SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    }

  private:
    PROCESS_INFORMATION m_process = {};
    HWND m_main = nullptr;
    int m_failures = 0;
    bool m_closed = false;
    std::function<void(HWND)> m_boxShot;
};

// A window's client area as a 24-bit BMP, copied from the screen.
void SaveShot(HWND window, const std::wstring& path) {
    RECT rect;
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = static_cast<DWORD>((width * 3 + 3) & ~3);
    const DWORD size = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + size;
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(static_cast<const char*>(bits), size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// What a control shows on the screen, read back as dark pixels ("ink") on the light face.
struct Ink {
    int Width = 0;
    int Height = 0;
    std::vector<bool> Pixels;  // row by row from the top, true where dark
    bool At(int x, int y) const { return Pixels[static_cast<size_t>(y * Width + x)]; }
    bool Column(int x) const {
        for (int y = 0; y < Height; ++y) {
            if (At(x, y)) {
                return true;
            }
        }
        return false;
    }
    bool Row(int y, int left, int right) const {
        for (int x = left; x < right; ++x) {
            if (At(x, y)) {
                return true;
            }
        }
        return false;
    }
};

// differsFrom: a pixel counts when it differs from this colour by more than a little; without
// it, when it is dark.
Ink InkOf(HWND control, std::optional<COLORREF> differsFrom = std::nullopt) {
    RECT rect;
    GetWindowRect(control, &rect);
    Ink ink;
    ink.Width = rect.right - rect.left;
    ink.Height = rect.bottom - rect.top;
    if (ink.Width <= 0 || ink.Height <= 0) {
        return ink;
    }
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = ink.Width;
    info.bmiHeader.biHeight = -ink.Height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, ink.Width, ink.Height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (int i = 0; i < ink.Width * ink.Height; ++i) {
        const int b = pixels[i] & 0xFF;
        const int g = (pixels[i] >> 8) & 0xFF;
        const int r = (pixels[i] >> 16) & 0xFF;
        if (differsFrom) {
            const int d = std::abs(r - GetRValue(*differsFrom)) +
                          std::abs(g - GetGValue(*differsFrom)) +
                          std::abs(b - GetBValue(*differsFrom));
            ink.Pixels.push_back(d > 60);
        } else {
            ink.Pixels.push_back(r + g + b < 3 * 100);
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ink;
}

// A one-line label shows its whole text: nothing cut at its right edge, and no run of blank
// columns inside the text wider than a few spaces (what is left of a word-wrapped old paint).
void CheckLabelPaint(Driver& d, int id, const std::string& what, int dpi) {
    const Ink ink = InkOf(GetDlgItem(d.Main(), id));
    int first = -1;
    int last = -1;
    int gap = 0;
    int widestGap = 0;
    for (int x = 0; x < ink.Width; ++x) {
        if (ink.Column(x)) {
            if (first < 0) {
                first = x;
            }
            last = x;
            widestGap = std::max(widestGap, gap);
            gap = 0;
        } else if (first >= 0) {
            ++gap;
        }
    }
    // Thin strokes read light at 96 DPI: "! " or ": " leaves up to 11 blank columns; the
    // remains of an old paint leave a run several words wide.
    const bool whole = first >= 0 && last < ink.Width - 1 && widestGap <= MulDiv(20, dpi, 96);
    d.Check(whole, what + ": the label shows \"" + Utf8(d.Control(id)) + "\" whole (" +
                       std::to_string(ink.Width) + " px wide, ink " + std::to_string(first) + ".." +
                       std::to_string(last) + ", widest blank run " + std::to_string(widestGap) +
                       " px)");
    if (!whole) {
        for (int y = 0; y < ink.Height; ++y) {
            std::string row = "      ";
            for (int x = 0; x < ink.Width; ++x) {
                row += ink.At(x, y) ? '#' : '.';
            }
            Print(row);
        }
    }
}

std::vector<char> ReadAll(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

// The DPI of the window's monitor: the program declares itself DPI-aware and scales its layout
// to it. (Wine answers GetDpiForWindow with 96 for another program's window; the monitor's
// DPI, read in a DPI-aware driver, is the same figure on one monitor.)
int DpiOf(HWND window) {
    const HDC dc = GetDC(nullptr);
    const int systemDpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(nullptr, dc);
    const UINT windowDpi = GetDpiForWindow(window);
    return windowDpi != 0 && static_cast<int>(windowDpi) != 96 ? static_cast<int>(windowDpi)
                                                               : systemDpi;
}

// The picture above the caption of "Прошити" grows with the DPI as the button does. At 96 DPI
// what shows of it is a blue arrow 10 pixels high and 8 wide (on a face as white as its chip, as
// Wine's) or the whole chip, 16 by 22.
void CheckWritePicture(Driver& d, int dpi) {
    const HWND button = GetDlgItem(d.Main(), kButtonWrite);
    RECT rect;
    GetWindowRect(button, &rect);
    // The face: left of the picture and the caption, half way down.
    const HDC screen = GetDC(nullptr);
    const COLORREF face =
        GetPixel(screen, rect.left + MulDiv(6, dpi, 96), (rect.top + rect.bottom) / 2);
    ReleaseDC(nullptr, screen);
    const Ink ink = InkOf(button, face);
    if (ink.Width == 0) {
        d.Fail("picture of \"Прошити\": the button is not on the screen");
        return;
    }
    const int border = MulDiv(4, dpi, 96);
    int y = border;
    while (y < ink.Height && !ink.Row(y, ink.Width / 2 - border, ink.Width / 2 + border)) {
        ++y;
    }
    const int top = y;
    while (y < ink.Height && ink.Row(y, border, ink.Width - border)) {
        ++y;
    }
    const int height = y - top;
    int left = ink.Width;
    int right = -1;
    for (int row = top; row < top + height; ++row) {
        for (int x = border; x < ink.Width - border; ++x) {
            if (ink.At(x, row)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    const int width = right - left + 1;
    const auto matches = [](int got, int design, int dpi) {
        return std::abs(got - MulDiv(design, dpi, 96)) <= 1;
    };
    const bool arrow = matches(height, 10, dpi) && matches(width, 8, dpi);
    const bool chip = matches(height, 16, dpi) && matches(width, 22, dpi);
    d.Check(arrow || chip, "picture of \"Прошити\": " + std::to_string(width) + " x " +
                               std::to_string(height) + " px at " + std::to_string(dpi) +
                               " DPI (arrow 8 x 10 or chip 22 x 16 at 96 DPI, scaled)");
}

bool StartsWith(const std::wstring& text, const std::wstring& head) {
    return text.compare(0, head.size(), head) == 0;
}

struct Options {
    std::wstring Exe;
    std::wstring Suite = L"main";
    std::wstring Port = L"COM7";
    std::wstring Image;
    std::wstring Dump;
    std::wstring Shots;
    std::wstring Control;  // a folder where the script takes requests: "kill", "plug", ...
};

void ExpectBox(Driver& d, const std::string& what, const std::wstring& text, bool icon,
               int milliseconds = 30000) {
    const auto box = d.TakeBox(milliseconds);
    if (!box) {
        d.Fail(what + ": no message box");
        d.PrintWindows();
        return;
    }
    d.CheckText(box->Caption, kCaption, what + ", caption");
    d.CheckText(box->Text, text, what);
    d.Check(box->Icon == icon, what + (icon ? ": error icon" : ": no icon"));
}

void StartUpState(Driver& d) {
    d.CheckText(TextOf(d.Main()), kCaption, "start-up: title");
    d.CheckText(d.Control(kLabelNameOfHex), L"Мікропрограма готова до запису", "start-up: status");
    d.CheckText(d.Control(kGauge), L"0%", "start-up: gauge");
    d.CheckText(d.Control(kLabel1), L"Порт:", "start-up: port label");
    d.CheckText(d.Control(kButtonWrite), L"Прошити", "start-up: write button");
    d.CheckText(d.Control(kLabel3), L"Автокалібровка: 0.0.0", "start-up: calibration line");
    RECT client;
    GetClientRect(d.Main(), &client);
    const int dpi = DpiOf(d.Main());
    d.Check(client.right == MulDiv(329, dpi, 96) && client.bottom == MulDiv(127, dpi, 96),
            "start-up: client area " + std::to_string(client.right) + " x " +
                std::to_string(client.bottom) + " at " + std::to_string(dpi) +
                " DPI (329 x 127 at 96 DPI)");
    const HWND port = GetDlgItem(d.Main(), kCbPort);
    const auto selected = SendMessageW(port, CB_GETCURSEL, 0, 0);
    std::wstring portName(256, L'\0');
    SendMessageW(port, CB_GETLBTEXT, static_cast<WPARAM>(selected),
                 reinterpret_cast<LPARAM>(portName.data()));
    portName.resize(wcslen(portName.c_str()));
    d.Check(selected == 0, "start-up: first port selected: \"" + Utf8(portName) + "\"");
}

void ChoosePort(Driver& d, const Options& o) {
    d.Check(WaitFor([&] { return d.ChoosePort(o.Port); }, 5000),
            "the port list offers " + Utf8(o.Port));
    Sleep(200);
}

void HeldPort(Driver& d, const Options& o) {
    // Another program holds the port: the program's open fails with message 2 in the error box.
    const std::wstring path = L"\\\\.\\" + o.Port;
    const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    d.Check(held != INVALID_HANDLE_VALUE, "held port: the driver holds " + Utf8(o.Port));
    // Wine lets a second program open a serial port that one holds; Windows does not.
    const HANDLE second = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (second != INVALID_HANDLE_VALUE) {
        CloseHandle(second);
        CloseHandle(held);
        Print(
            "skip  held port: this system shares serial ports between programs (Wine); the "
            "scenario runs on Windows");
        return;
    }
    d.Click(kButtonWrite);
    ExpectBox(d, "held port: error box", L"Порт зайнятий іншою програмою.", true);
    if (held != INVALID_HANDLE_VALUE) {
        CloseHandle(held);
    }
    WaitFor([&] { return d.Enabled(kButtonWrite); }, 5000);
}

void Write(Driver& d, const Options& o) {
    d.Click(kButtonWrite);
    // The warning of a running write, read and seen whole while the write goes on.
    const bool writing = WaitFor(
        [&] { return d.Control(kLabelNameOfHex) == L"Йде запис! Заборонено переривати!"; }, 60000);
    d.Check(writing, "write: status \"" + Utf8(d.Control(kLabelNameOfHex)) + "\"");
    if (writing) {
        Sleep(700);
        CheckLabelPaint(d, kLabelNameOfHex, "during the write", DpiOf(d.Main()));
    }
    const auto box = d.TakeBox(300000);
    if (!box) {
        d.Fail("write: no completion message");
        return;
    }
    d.Check(StartsWith(box->Text,
                       L"                                         Мікропрограма "
                       L"успішно завантажена в "),
            "write: completion message: \"" + Utf8(box->Text) + "\"");
    d.CheckText(box->Caption, kCaption, "write: message caption");
    WaitFor([&] { return d.Enabled(kButtonConect); }, 5000);
    d.Check(StartsWith(d.Control(kLabelNameOfHex), L"Мікропрограма : успішно завантажена в "),
            "after the write: status \"" + Utf8(d.Control(kLabelNameOfHex)) + "\"");
    d.CheckText(d.Control(kGauge), L"100%", "after the write: gauge");
    d.Check(d.Enabled(kButtonConect) && d.Enabled(kCbPort),
            "after the write: detect button and port list enabled");
    if (!o.Image.empty() && !o.Dump.empty()) {
        // The device writes its memory out at the reset that ends the write.
        std::vector<char> dump;
        const std::vector<char> image = ReadAll(o.Image);
        WaitFor([&] { return (dump = ReadAll(o.Dump)) == image; }, 10000);
        d.Check(!image.empty() && dump == image, "write: device memory equals the image (" +
                                                     std::to_string(dump.size()) + " bytes)");
    }
}

void ServiceLayout(Driver& d) {
    d.Keys({VK_CONTROL, VK_SHIFT}, 'E');
    RECT frame;
    const int dpi = DpiOf(d.Main());
    const int height = MulDiv(340, dpi, 96);
    WaitFor(
        [&] {
            GetWindowRect(d.Main(), &frame);
            return frame.bottom - frame.top == height;
        },
        5000);
    d.Check(frame.bottom - frame.top == height, "Ctrl+Shift+E: outer height " +
                                                    std::to_string(frame.bottom - frame.top) +
                                                    " (" + std::to_string(height) + ")");
    Sleep(300);
    CheckLabelPaint(d, kLabel3, "service layout: calibration line", dpi);
    RECT client;
    GetClientRect(d.Main(), &client);
    RECT button;
    GetWindowRect(GetDlgItem(d.Main(), kButtonConect), &button);
    MapWindowPoints(nullptr, d.Main(), reinterpret_cast<POINT*>(&button), 2);
    d.Check(button.bottom <= client.bottom, "Ctrl+Shift+E: \"Визначити\" is seen");
}

void Detect(Driver& d) {
    d.Click(kButtonConect);
    const auto first = d.TakeBox(60000);
    d.Check(first && StartsWith(first->Text, L"Визначино:\r\n"),
            "Визначити: first message \"" + (first ? Utf8(first->Text) : std::string()) + "\"");
    const auto second = d.TakeBox(10000);
    d.Check(second.has_value(),
            "Визначити: second message \"" + (second ? Utf8(second->Text) : std::string()) + "\"");
    WaitFor([&] { return d.Enabled(kButtonConect); }, 5000);
}

void Reset(Driver& d) {
    d.Keys({VK_CONTROL}, 'L');
    ExpectBox(d, "Ctrl+L", L"Скинуто прилад!!!", false);
}

void About(Driver& d) {
    d.Keys({}, VK_F1);
    HWND about = nullptr;
    WaitFor([&] { return (about = d.FindOwn(L"TFormHelp")) != nullptr && IsWindowVisible(about); },
            5000);
    d.Check(about != nullptr && IsWindowVisible(about), "F1: the About window is shown");
    if (about == nullptr) {
        return;
    }
    d.CheckText(TextOf(about), L"Про програму", "F1: About caption");
    d.CheckText(TextOf(GetDlgItem(about, kAboutButton)), L"ОК", "F1: About button");
    RECT client;
    GetClientRect(about, &client);
    const int dpi = DpiOf(about);
    d.Check(client.right == MulDiv(154, dpi, 96) && client.bottom == MulDiv(193, dpi, 96),
            "F1: About client area " + std::to_string(client.right) + " x " +
                std::to_string(client.bottom));
    d.Keys({}, VK_F1, about);
    WaitFor([&] { return !IsWindowVisible(about); }, 5000);
    d.Check(!IsWindowVisible(about), "F1 in the About window hides it");
}

void StopWrite(Driver& d) {
    d.Keys({VK_CONTROL}, VK_DELETE);  // the gauge is at 0: nothing happens
    d.Check(!d.TakeBox(500).has_value(), "Ctrl+Delete at 0%: no message");
    d.Click(kButtonWrite);
    // The gauge counts the wake-ups of the identification first and starts again at 0% for
    // the pages: the stop acts once it has left 0% with the blocks of a page under way.
    const HWND blocks = GetDlgItem(d.Main(), kProgressbarWrite);
    const bool flashing = WaitFor(
        [&] {
            return d.Control(kLabelNameOfHex) == L"Йде запис! Заборонено переривати!" &&
                   SendMessageW(blocks, PBM_GETPOS, 0, 0) > 0;
        },
        120000);
    const bool moving = flashing && WaitFor([&] { return d.Control(kGauge) != L"0%"; }, 120000);
    d.Check(moving, "stop: the write reached its second page (" + Utf8(d.Control(kGauge)) + ")");
    d.Keys({VK_CONTROL}, VK_DELETE);
    ExpectBox(d, "Ctrl+Delete during the write",
              L"                   Зупинено користувачем!\r\n         Мікропрограма записана "
              L"частково!\r\nНеобхідно повторно вибрати файл прошивки,\r\n    і провести запис, "
              L"інакще в подальшому\r\n             прилад буде не працездатний!",
              false);
    WaitFor([&] { return d.Control(kLabelNameOfHex) == L"Зупинено користувачем"; }, 10000);
    d.CheckText(d.Control(kLabelNameOfHex), L"Зупинено користувачем", "stop: status");
    d.Check(d.Control(kGauge) != L"100%", "stop: the write did not finish");
    // Whatever the stopped write still reports comes in further boxes.
    while (d.TakeBox(3000)) {
    }
}

// Asks the script that runs the simulators to act (kill the device, plug a new one, map a port)
// and waits until it has: it takes the request away and answers with the request it carried
// out, so a request it did not understand fails here instead of passing unseen.
bool Ask(Driver& d, const Options& o, const std::string& request) {
    const std::filesystem::path folder(o.Control);
    const std::filesystem::path file = folder / L"request";
    const std::filesystem::path answer = folder / L"done";
    std::filesystem::remove(answer);
    {
        std::ofstream out(file, std::ios::binary);  // a bare line feed: a shell reads the line
        out << request << "\n";
    }
    const bool taken = WaitFor([&] { return !std::filesystem::exists(file); }, 30000);
    std::string done;
    if (taken) {
        std::ifstream in(answer, std::ios::binary);
        std::getline(in, done);
    }
    d.Check(taken && done == request,
            "the script did \"" + request + "\" (it answered \"" + done + "\")");
    return taken && done == request;
}

bool Writing(Driver& d) {
    return d.Control(kLabelNameOfHex) == L"Йде запис! Заборонено переривати!" &&
           d.Control(kGauge) != L"0%";
}

// The device behind the port goes while the port is open, after a stop, in the middle of a
// write and after a detection; the next operation reaches the new device without a restart.
void Replug(Driver& d, const Options& o) {
    StopWrite(d);
    Ask(d, o, "kill");
    Ask(d, o, "plug");

    d.Click(kButtonWrite);
    d.Check(
        WaitFor([&] { return Writing(d); }, 120000),
        "replug: the write after a stop reached the new device (" + Utf8(d.Control(kGauge)) + ")");
    Ask(d, o, "kill");
    const auto error = d.TakeBox(60000);
    d.Check(error && error->Icon && StartsWith(error->Text, L"Помилка"),
            "replug: the write whose device vanished shows a port error \"" +
                (error ? Utf8(error->Text) : std::string()) + "\"");
    int more = 0;
    while (d.TakeBox(3000)) {
        ++more;
    }
    d.Check(more == 0, "replug: the port error is shown once");
    WaitFor([&] { return d.Enabled(kButtonWrite); }, 10000);
    Ask(d, o, "plug");

    ServiceLayout(d);
    Detect(d);
    Ask(d, o, "kill");
    Ask(d, o, "plug");
    Write(d, o);
}

std::vector<std::wstring> ListedPorts(Driver& d) {
    const HWND list = GetDlgItem(d.Main(), kCbPort);
    std::vector<std::wstring> names;
    const auto count = SendMessageW(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring name(static_cast<size_t>(SendMessageW(list, CB_GETLBTEXTLEN, i, 0)) + 1,
                          L'\0');
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(name.data()));
        name.resize(wcslen(name.c_str()));
        names.push_back(name);
    }
    return names;
}

bool Lists(Driver& d, const std::wstring& port) {
    const auto names = ListedPorts(d);
    return std::find(names.begin(), names.end(), port) != names.end();
}

std::wstring ChosenPort(Driver& d) {
    const HWND list = GetDlgItem(d.Main(), kCbPort);
    const auto index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return {};
    }
    std::wstring name(256, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(name.data()));
    name.resize(wcslen(name.c_str()));
    return name;
}

// Waits for the list to follow a port mapped or unmapped by the script. Wine sends no
// WM_DEVICECHANGE for a mapping; then the driver broadcasts what Windows would send.
bool Follows(Driver& d, const std::function<bool()>& listed, const std::string& what) {
    if (WaitFor(listed, 3000)) {
        Print("ok    ports: the system announced " + what);
        return true;
    }
    Print("skip  ports: this system sent no WM_DEVICECHANGE for " + what +
          " (Wine); the driver sends DBT_DEVNODES_CHANGED as Windows does");
    // Sent, not posted: the message may carry a pointer, so no system posts it across programs.
    SendMessageTimeoutW(d.Main(), WM_DEVICECHANGE, 0x0007, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    return WaitFor(listed, 5000);
}

void PortList(Driver& d, const Options& o) {
    ChoosePort(d, o);
    const std::wstring chosen = ChosenPort(d);
    d.CheckText(chosen, o.Port, "ports: chosen");
    Ask(d, o, "add-com8");
    d.Check(Follows(
                d, [&] { return Lists(d, L"COM8"); }, "a new port"),
            "ports: COM8 plugged is listed");
    d.CheckText(ChosenPort(d), chosen, "ports: the chosen port stays chosen");
    Ask(d, o, "remove-com8");
    d.Check(Follows(
                d, [&] { return !Lists(d, L"COM8"); }, "a port gone"),
            "ports: COM8 unplugged leaves the list");
    d.CheckText(ChosenPort(d), chosen, "ports: still chosen");
    d.Check(!d.TakeBox(500).has_value(), "ports: the list follows without a message");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // Sizes are read in the monitor's own pixels, as the program lays itself out.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring name = argv[i];
        const std::wstring value = argv[i + 1];
        if (name == L"--exe") {
            o.Exe = value;
        } else if (name == L"--suite") {
            o.Suite = value;
        } else if (name == L"--port") {
            o.Port = value;
        } else if (name == L"--image") {
            o.Image = value;
        } else if (name == L"--dump") {
            o.Dump = value;
        } else if (name == L"--shots") {
            o.Shots = value;
        } else if (name == L"--control") {
            o.Control = value;
        }
    }
    if (o.Exe.empty()) {
        Print(
            "usage: velor-window-driver --exe PATH --suite main|stop [--port COM7] "
            "[--image BIN --dump BIN] [--shots DIR]");
        return 2;
    }
    Driver d(o.Exe);
    if (!d.Started()) {
        return 1;
    }
    if (o.Suite != L"early-port") {
        Sleep(300);
    }
    auto shot = [&](HWND window, const wchar_t* name) {
        if (!o.Shots.empty()) {
            UpdateWindow(window);
            Sleep(300);
            SaveShot(window, o.Shots + L"\\" + name + L".bmp");
        }
    };
    if (o.Suite == L"main") {
        StartUpState(d);
        ChoosePort(d, o);
        shot(d.Main(), L"win32-normal");
        HeldPort(d, o);
        Write(d, o);
        ServiceLayout(d);
        shot(d.Main(), L"win32-service");
        Detect(d);
        Reset(d);
        About(d);
    } else if (o.Suite == L"replug") {
        ChoosePort(d, o);
        Replug(d, o);
    } else if (o.Suite == L"ports") {
        PortList(d, o);
    } else if (o.Suite == L"startup") {
        StartUpState(d);
        shot(d.Main(), L"win32-startup");
        CheckWritePicture(d, DpiOf(d.Main()));
        CheckLabelPaint(d, kLabelNameOfHex, "start-up: status", DpiOf(d.Main()));
        ServiceLayout(d);
        About(d);
    } else if (o.Suite == L"write") {
        // One write from "Прошити" to its message, timed (the write benchmark and the repeated
        // writes of a stall hunt).
        ChoosePort(d, o);
        const auto start = Clock::now();
        Write(d, o);
        Print("write took " +
              std::to_string(std::chrono::duration<double>(Clock::now() - start).count()) + " s; " +
              Utf8(d.Control(kLabel3)));  // the calibration tells of missed replies
    } else if (o.Suite == L"early-port") {
        // The operator's choice at once after the window shows: whatever the program still does
        // at start-up must not take it back.
        ChoosePort(d, o);
        Sleep(1500);
        const HWND list = GetDlgItem(d.Main(), kCbPort);
        std::wstring chosen(256, L'\0');
        const auto index = SendMessageW(list, CB_GETCURSEL, 0, 0);
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(chosen.data()));
        chosen.resize(wcslen(chosen.c_str()));
        d.CheckText(chosen, o.Port, "early port choice: still chosen after start-up");
    } else if (o.Suite == L"about-shot") {
        d.Keys({}, VK_F1);
        HWND about = nullptr;
        WaitFor(
            [&] { return (about = d.FindOwn(L"TFormHelp")) != nullptr && IsWindowVisible(about); },
            5000);
        if (about != nullptr) {
            shot(about, L"win32-about");
        }
    } else {
        ChoosePort(d, o);
        StopWrite(d);
    }
    d.Close();
    Print(d.Failures() == 0 ? "all checks held"
                            : std::to_string(d.Failures()) + " check(s) failed");
    return d.Failures() == 0 ? 0 : 1;
}
