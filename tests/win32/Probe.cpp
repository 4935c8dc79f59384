// What only Windows itself can tell about quorrin.exe, for the tests to compare:
//   probe window TITLE   its client area, the focused control, the default buttons, each
//                        control's id, place, size and name as screen readers get it (through
//                        MSAA) in z-order (the order the dialog manager tabs in), then each tool
//                        of its tooltips: the control's id, the width the text wraps at, the
//                        font's height and the text
//   probe listen TITLE   listens to the program's process as a screen reader does: says "ready"
//                        when it hears, then a line for each description-change event: the
//                        control's id, the object's and the child's ids and the description read
//                        then through MSAA; until its input ends
//   probe colour TITLE ELEMENT RRGGBB   sets a system colour inside the program
//   probe dpi TITLE DPI                 moves the window to a monitor of that dpi, as it were
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Hands the window a request that probe_hook.dll, hooked into the window's thread, carries out
// there; returns when it is done.
bool Ask(HWND window, const wchar_t* request, WPARAM wParam, LPARAM lParam)
{
    HMODULE hooks = LoadLibraryW(L"probe_hook.dll");
    const auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hooks, "ProbeHook")));
    HHOOK installed = hook ? SetWindowsHookExW(WH_CALLWNDPROC, hook, hooks, GetWindowThreadProcessId(window, nullptr))
                           : nullptr;
    if (!installed) {
        return false;
    }
    SendMessageW(window, RegisterWindowMessageW(request), wParam, lParam);
    return UnhookWindowsHookEx(installed);
}

// A description-change event heard: the description is read at once, as a screen reader would
// say it.
void CALLBACK Heard(HWINEVENTHOOK, DWORD, HWND control, LONG object, LONG child, DWORD, DWORD)
{
    IAccessible* accessible = nullptr;
    VARIANT item{};
    BSTR description = nullptr;
    if (AccessibleObjectFromEvent(control, object, child, &accessible, &item) == S_OK) {
        accessible->get_accDescription(item, &description);
        accessible->Release();
        VariantClear(&item);
    }
    std::printf("%d %ld %ld %ls\n", GetDlgCtrlID(control), object, child, description ? description : L"");
    std::fflush(stdout);
    SysFreeString(description);
}

// Ends the listening thread's message loop when the probe's input ends.
DWORD WINAPI EndWithInput(void* listening)
{
    char byte;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, nullptr) && read) {
    }
    PostThreadMessageW(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(listening)), WM_QUIT, 0, 0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t* argv[])
{
    HWND window = argc >= 3 ? FindWindowW(nullptr, argv[2]) : nullptr;
    if (argc == 5 && std::wstring(argv[1]) == L"colour") {
        const unsigned long rgb = std::wcstoul(argv[4], nullptr, 16);
        return Ask(window, L"QuorrinProbeColour", std::wcstoul(argv[3], nullptr, 10),
                   RGB(rgb >> 16, (rgb >> 8) & 0xff, rgb & 0xff)) ? 0 : 1;
    }
    if (argc == 3 && std::wstring(argv[1]) == L"listen") {
        // Out of context: each event is posted to this thread, whose loop calls Heard.
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        CoInitialize(nullptr);
        HANDLE ending = CreateThread(nullptr, 0, EndWithInput, reinterpret_cast<void*>(UINT_PTR{GetCurrentThreadId()}),
                                     0, nullptr);
        if (!window || !ending ||
            !SetWinEventHook(EVENT_OBJECT_DESCRIPTIONCHANGE, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr, Heard, process, 0,
                             WINEVENT_OUTOFCONTEXT)) {
            return 1;
        }
        CloseHandle(ending);
        std::printf("ready\n");
        std::fflush(stdout);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        return 0;
    }
    if (argc == 4 && std::wstring(argv[1]) == L"dpi") {
        return Ask(window, L"QuorrinProbeDpi", std::wcstoul(argv[3], nullptr, 10), 0) ? 0 : 1;
    }
    RECT client{};
    GetClientRect(window, &client);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    std::printf("client %ld %ld focus %d default", client.right, client.bottom, GetDlgCtrlID(thread.hwndFocus));
    for (HWND child = GetWindow(window, GW_CHILD); window && child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (SendMessageW(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) {
            std::printf(" %d", GetDlgCtrlID(child));
        }
    }
    std::printf("\n");
    CoInitialize(nullptr);
    for (HWND child = GetWindow(window, GW_CHILD); window && child; child = GetWindow(child, GW_HWNDNEXT)) {
        IAccessible* accessible = nullptr;
        BSTR text = nullptr;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        if (AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                       reinterpret_cast<void**>(&accessible)) == S_OK) {
            accessible->get_accName(self, &text);
            accessible->Release();
        }
        RECT box{};
        GetWindowRect(child, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        std::printf("%d %ld %ld %ld %ld %ls\n", GetDlgCtrlID(child), box.left, box.top, box.right - box.left,
                    box.bottom - box.top, text ? text : L"");
        SysFreeString(text);
    }
    // The tooltips are the window's own top-level windows of that class; probe_hook.dll reads
    // their tools in the program, into memory shared with the probe.
    std::vector<HWND> tips;
    EnumThreadWindows(window ? GetWindowThreadProcessId(window, nullptr) : 0, [](HWND tip, LPARAM found) {
        wchar_t name[64];
        if (GetClassNameW(tip, name, std::size(name)) && std::wstring(name) == TOOLTIPS_CLASSW) {
            reinterpret_cast<std::vector<HWND>*>(found)->push_back(tip);
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&tips));
    constexpr DWORD size = 4 * INFOTIPSIZE;  // characters
    HANDLE shared = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size * sizeof(wchar_t),
                                       L"QuorrinProbeTips");
    auto* read = shared ? static_cast<wchar_t*>(MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
    for (HWND tip : tips) {
        if (read && GetWindow(tip, GW_OWNER) == window) {
            read[0] = L'\0';
            Ask(window, L"QuorrinProbeTips", reinterpret_cast<WPARAM>(tip), size);
            std::printf("%ls", read);
        }
    }
    return window ? 0 : 1;
}
