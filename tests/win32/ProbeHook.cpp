// Loaded into quorrin.exe by probe.exe's hook, to make the changes that only the program's own
// process sees: the system's colours (each process keeps its own copy) and the window's dpi.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT colour = RegisterWindowMessageW(L"QuorrinProbeColour");
    static const UINT dpi = RegisterWindowMessageW(L"QuorrinProbeDpi");
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == colour) {
        const int element = static_cast<int>(sent->wParam);
        const auto value = static_cast<COLORREF>(sent->lParam);
        SetSysColors(1, &element, &value);
    } else if (code == HC_ACTION && sent->message == dpi) {
        // As a move to a monitor of that dpi: the client area scaled, the frame as it is (this
        // Windows layer draws every frame at one dpi).
        const auto to = static_cast<int>(sent->wParam);
        const auto from = static_cast<int>(GetDpiForWindow(sent->hwnd));
        RECT client, suggested;
        GetClientRect(sent->hwnd, &client);
        GetWindowRect(sent->hwnd, &suggested);
        suggested.right += MulDiv(client.right, to, from) - client.right;
        suggested.bottom += MulDiv(client.bottom, to, from) - client.bottom;
        SendMessageW(sent->hwnd, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
