// What only Windows itself can tell about quorrin.exe, for the tests to compare:
//   probe file EXE       its version numbers and strings, and its icon group's images
//   probe window TITLE   its client area, the focused control, each control's id, place, size
//                        and text in z-order (the order the dialog manager tabs in)
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>

int wmain(int argc, wchar_t* argv[])
{
    if (argc == 3 && std::wstring(argv[1]) == L"file") {
        std::string record(GetFileVersionInfoSizeW(argv[2], nullptr), '\0');
        VS_FIXEDFILEINFO* fixed = nullptr;
        WORD* language = nullptr;  // the strings' language and code page (an installer's are not Unicode)
        UINT length = 0;
        if (!GetFileVersionInfoW(argv[2], 0, static_cast<DWORD>(record.size()), record.data()) ||
            !VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
            !VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&language),
                            &length)) {
            return 1;
        }
        std::printf("%08lx %08lx %08lx %08lx ", fixed->dwFileVersionMS, fixed->dwFileVersionLS,
                    fixed->dwProductVersionMS, fixed->dwProductVersionLS);
        for (const wchar_t* name : {L"ProductName", L"ProductVersion", L"FileVersion"}) {
            wchar_t* value = nullptr;
            wchar_t path[64];
            std::swprintf(path, std::size(path), L"\\StringFileInfo\\%04x%04x\\%ls", language[0], language[1], name);
            VerQueryValueW(record.data(), path, reinterpret_cast<void**>(&value), &length);
            std::printf("%ls ", value ? value : L"?");
        }
        // The icon group: a 6-byte header with the count at 4, then 14 bytes for each image with its
        // width at 0, height at 1 and bits per pixel at 6.
        HMODULE exe = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
        HRSRC group = FindResourceW(exe, L"IDI_ICON1", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
        const auto* data = group ? static_cast<const BYTE*>(LockResource(LoadResource(exe, group))) : nullptr;
        for (int i = 0; data && i < data[4]; ++i) {
            std::printf("%dx%dx%d ", data[6 + 14 * i], data[7 + 14 * i], data[12 + 14 * i]);
        }
        return 0;
    }
    HWND window = argc == 3 ? FindWindowW(nullptr, argv[2]) : nullptr;
    RECT client{};
    GetClientRect(window, &client);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    std::printf("client %ld %ld focus %d\n", client.right, client.bottom, GetDlgCtrlID(thread.hwndFocus));
    for (HWND child = GetWindow(window, GW_CHILD); window && child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[256] = {};
        SendMessageW(child, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
        RECT box{};
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        std::printf("%d %ld %ld %ld %ld %ls\n", GetDlgCtrlID(child), box.left, box.top, box.right - box.left,
                    box.bottom - box.top, text);
    }
    return window ? 0 : 1;
}
