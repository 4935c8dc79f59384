// Has screen readers say what a press changed: as a UI Automation notification where Windows
// raises them (Windows 10, version 1709 and later), else as the new description of the control
// pressed: a button, or the picture with an explore key.
#pragma once

#include <windows.h>
#include <uiautomationcore.h>

#include <string>

namespace quorrin {

class Announcer final {
public:
    // uiautomationcoreapi.h does not compile as C++: its functions as they are called.
    using RaiseFunction = HRESULT(WINAPI*)(IRawElementProviderSimple*, int, int, BSTR, BSTR);
    using ReturnFunction = LRESULT(WINAPI*)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
    using HostFunction = HRESULT(WINAPI*)(HWND, IRawElementProviderSimple**);

    Announcer();
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;
    ~Announcer();

    // Where there are no notifications, the control's accessible object becomes the system's own
    // with a description the program sets.
    void Describe(HWND control);
    // The window's answer to WM_GETOBJECT.
    LRESULT Object(HWND window, WPARAM wParam, LPARAM lParam);
    // Says the words of a press of that control of the window, which has the focus.
    void Announce(HWND window, HWND pressed, const std::wstring& words);
    // The window is being destroyed: UI Automation lets go of its provider.
    void Disconnect(HWND window);

private:
    IRawElementProviderSimple* ProviderOf(HWND window);

    bool ComStarted = false;
    // uiautomationcore.dll's functions, loaded when it raises notifications.
    HMODULE Automation = nullptr;
    RaiseFunction RaiseNotification = nullptr;
    ReturnFunction ReturnProvider = nullptr;
    HostFunction HostProvider = nullptr;
    IRawElementProviderSimple* Provider = nullptr;
};

}  // namespace quorrin
