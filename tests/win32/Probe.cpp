// What only Windows itself can tell about quorrin.exe, for the tests to compare:
//   probe window TITLE   its client area, the focused control, and each control's id, place, size
//                        and name as screen readers get it (through MSAA) in z-order (the order
//                        the dialog manager tabs in)
//   probe listen TITLE   listens to the program's process as a screen reader does: says "ready"
//                        when it hears, then a line for each description-change event: the
//                        control's id, the object's and the child's ids and the description read
//                        then through MSAA; until it is ended
//   probe dpi TITLE DPI  moves the window to a monitor of that dpi, as it were
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

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

}  // namespace

int wmain(int argc, wchar_t* argv[])
{
    HWND window = argc >= 3 ? FindWindowW(nullptr, argv[2]) : nullptr;
    DWORD process = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &process);
    CoInitialize(nullptr);
    if (argc == 3 && std::wstring(argv[1]) == L"listen") {
        // Out of context: each event is posted to this thread, whose loop calls Heard.
        if (!window || !SetWinEventHook(EVENT_OBJECT_DESCRIPTIONCHANGE, EVENT_OBJECT_DESCRIPTIONCHANGE, nullptr, Heard,
                                        process, 0, WINEVENT_OUTOFCONTEXT)) {
            return 1;
        }
        std::printf("ready\n");
        std::fflush(stdout);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) {
            DispatchMessageW(&message);
        }
        return 0;
    }
    RECT client{};
    GetClientRect(window, &client);
    if (argc == 4 && std::wstring(argv[1]) == L"dpi") {
        // The window rectangle Windows suggests: the client area scaled, the frame as it is (this
        // Windows layer draws every frame at one dpi); in the program's memory, where the message
        // points.
        const auto to = static_cast<int>(std::wcstol(argv[3], nullptr, 10));
        const auto from = static_cast<int>(GetDpiForWindow(window));
        RECT suggested;
        GetWindowRect(window, &suggested);
        suggested.right += MulDiv(client.right, to, from) - client.right;
        suggested.bottom += MulDiv(client.bottom, to, from) - client.bottom;
        HANDLE program = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process);
        void* there = program ? VirtualAllocEx(program, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE) : nullptr;
        if (!there || !WriteProcessMemory(program, there, &suggested, sizeof suggested, nullptr)) {
            return 1;
        }
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(there));
        return 0;
    }
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(thread, &gui);
    std::printf("client %ld %ld focus %d\n", client.right, client.bottom, GetDlgCtrlID(gui.hwndFocus));
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
    return window ? 0 : 1;
}
