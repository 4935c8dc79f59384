// Loaded into quorrin.exe by probe.exe's hook, to make the changes that only the program's own
// process sees: the system's colours (each process keeps its own copy) and the window's dpi; and
// to read what only it can: a tooltip's tools and their texts.
#include <windows.h>
#include <commctrl.h>

#include <string>

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT colour = RegisterWindowMessageW(L"QuorrinProbeColour");
    static const UINT dpi = RegisterWindowMessageW(L"QuorrinProbeDpi");
    static const UINT tips = RegisterWindowMessageW(L"QuorrinProbeTips");
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
    } else if (code == HC_ACTION && sent->message == tips) {
        // The tooltip wParam's tools, a line each: "tip", the tool's control id, the width the text
        // wraps at, the font's height and the text, into the probe's shared memory of lParam
        // characters.
        const auto tip = reinterpret_cast<HWND>(sent->wParam);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0)), sizeof font, &font);
        const auto width = std::to_wstring(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0));
        std::wstring lines;
        wchar_t text[INFOTIPSIZE];
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.lpszText = text;
        for (int i = 0; SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)); ++i) {
            text[0] = L'\0';
            tool.lpszText = text;
            SendMessageW(tip, TTM_GETTEXTW, INFOTIPSIZE, reinterpret_cast<LPARAM>(&tool));
            const int id = tool.uFlags & TTF_IDISHWND ? GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId)) : -1;
            lines += L"tip " + std::to_wstring(id) + L" " + width + L" " + std::to_wstring(font.lfHeight) + L" " + text +
                     L"\n";
        }
        HANDLE shared = OpenFileMappingW(FILE_MAP_WRITE, FALSE, L"QuorrinProbeTips");
        if (auto* out = shared ? static_cast<wchar_t*>(MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, 0)) : nullptr) {
            lstrcpynW(out, lines.c_str(), static_cast<int>(sent->lParam));
            UnmapViewOfFile(out);
        }
        CloseHandle(shared);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
