// Tells an end-to-end test what only Windows knows about the running program's window: its client
// area, which control has the keyboard focus, and each control's id and text in z-order (the
// order the dialog manager tabs in).
//   window_report "<title>"
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    std::string utf8(text.size() * 3, '\0');
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                             utf8.data(), static_cast<int>(utf8.size()), nullptr,
                                                             nullptr)));
    return utf8;
}

std::string Text(HWND window)
{
    wchar_t text[256] = {};
    SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

}  // namespace

int wmain(int argc, wchar_t* argv[])
{
    HWND window = argc == 2 ? FindWindowW(nullptr, argv[1]) : nullptr;
    if (!window) {
        std::fputs("window_report: no such window\n", stderr);
        return 1;
    }
    RECT client;
    GetClientRect(window, &client);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    std::printf("focus %d\n", thread.hwndFocus ? GetDlgCtrlID(thread.hwndFocus) : 0);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::printf("%d %s\n", GetDlgCtrlID(child), Text(child).c_str());
    }
    return 0;
}
