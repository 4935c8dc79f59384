// Where Windows raises UI Automation notifications, the window's provider raises one for each
// press. Elsewhere screen readers speak a change of the focused control's description (they leave
// unsaid a change elsewhere, such as the picture's name), so the pressed control, which keeps the
// focus, takes the words as its description until it loses the focus; what it shows stays as it is.
#include "Announcer.h"

#include <commctrl.h>
#include <oleacc.h>

#include <type_traits>

namespace quorrin {
namespace {

// NotificationKind_ActionCompleted and NotificationProcessing_ImportantMostRecent, which MinGW's
// headers lack: a press completed, and only the latest of its words are worth hearing.
constexpr int kActionCompleted = 2;
constexpr int kImportantMostRecent = 1;
constexpr PROPERTYID kNameProperty = 30005;  // UIA_NamePropertyId
// Sent to a described control with its words.
constexpr UINT kDescribe = WM_APP;
// UiaRootObjectId: WM_GETOBJECT asks for the window's UI Automation provider.
constexpr long kRootObjectId = -25;

// A COM object of one interface, which ends with its last reference.
template <class Interface>
class Counted : public Interface {
public:
    virtual ~Counted() = default;
    STDMETHODIMP QueryInterface(REFIID id, void** object) override
    {
        const bool dispatch = std::is_base_of_v<IDispatch, Interface> && id == __uuidof(IDispatch);
        const bool known = id == __uuidof(IUnknown) || id == __uuidof(Interface) || dispatch;
        *object = known ? static_cast<Interface*>(this) : nullptr;
        return *object ? (AddRef(), S_OK) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&References)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const auto left = static_cast<ULONG>(InterlockedDecrement(&References));
        if (left == 0) {
            delete this;
        }
        return left;
    }

private:
    LONG References = 1;
};

// The window to UI Automation: the system's provider for its HWND, with its title as its name.
class WindowProvider final : public Counted<IRawElementProviderSimple> {
public:
    WindowProvider(HWND window, Announcer::HostFunction host) : Window(window), Host(host) {}

    STDMETHODIMP get_ProviderOptions(ProviderOptions* options) override
    {
        *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
        return S_OK;
    }
    STDMETHODIMP GetPatternProvider(PATTERNID, IUnknown** pattern) override
    {
        *pattern = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetPropertyValue(PROPERTYID property, VARIANT* value) override
    {
        value->vt = VT_EMPTY;
        if (property == kNameProperty) {
            std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(Window)) + 1, L'\0');
            const int length = GetWindowTextW(Window, title.data(), static_cast<int>(title.size()));
            title.resize(static_cast<std::size_t>(length));
            value->bstrVal = SysAllocString(title.c_str());
            value->vt = value->bstrVal ? VT_BSTR : VT_EMPTY;
        }
        return S_OK;
    }
    STDMETHODIMP get_HostRawElementProvider(IRawElementProviderSimple** host) override
    {
        return Host(Window, host);
    }

private:
    HWND Window;
    Announcer::HostFunction Host;
};

// A control's accessible object: the system's own, with the description the program gives it.
class DescribedButton final : public Counted<IAccessible> {
public:
    explicit DescribedButton(IAccessible* standard) : Standard(standard) {}
    ~DescribedButton() override { Standard->Release(); }

    std::wstring Description;

    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override
    {
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF || Description.empty()) {
            return Standard->get_accDescription(child, description);
        }
        *description = SysAllocString(Description.c_str());
        return *description ? S_OK : E_OUTOFMEMORY;
    }

    // Clients call IAccessible's methods directly, not through IDispatch.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // The rest is the system's.
    STDMETHODIMP get_accParent(IDispatch** parent) override { return Standard->get_accParent(parent); }
    STDMETHODIMP get_accChildCount(LONG* count) override { return Standard->get_accChildCount(count); }
    STDMETHODIMP get_accChild(VARIANT id, IDispatch** child) override { return Standard->get_accChild(id, child); }
    STDMETHODIMP get_accName(VARIANT id, BSTR* name) override { return Standard->get_accName(id, name); }
    STDMETHODIMP get_accValue(VARIANT id, BSTR* value) override { return Standard->get_accValue(id, value); }
    STDMETHODIMP get_accRole(VARIANT id, VARIANT* role) override { return Standard->get_accRole(id, role); }
    STDMETHODIMP get_accState(VARIANT id, VARIANT* state) override { return Standard->get_accState(id, state); }
    STDMETHODIMP get_accHelp(VARIANT id, BSTR* help) override { return Standard->get_accHelp(id, help); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override
    {
        return Standard->get_accHelpTopic(file, id, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT id, BSTR* keys) override
    {
        return Standard->get_accKeyboardShortcut(id, keys);
    }
    STDMETHODIMP get_accFocus(VARIANT* id) override { return Standard->get_accFocus(id); }
    STDMETHODIMP get_accSelection(VARIANT* ids) override { return Standard->get_accSelection(ids); }
    STDMETHODIMP get_accDefaultAction(VARIANT id, BSTR* action) override
    {
        return Standard->get_accDefaultAction(id, action);
    }
    STDMETHODIMP accSelect(LONG how, VARIANT id) override { return Standard->accSelect(how, id); }
    STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) override
    {
        return Standard->accLocation(left, top, width, height, id);
    }
    STDMETHODIMP accNavigate(LONG direction, VARIANT from, VARIANT* to) override
    {
        return Standard->accNavigate(direction, from, to);
    }
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* id) override { return Standard->accHitTest(x, y, id); }
    STDMETHODIMP accDoDefaultAction(VARIANT id) override { return Standard->accDoDefaultAction(id); }
    STDMETHODIMP put_accName(VARIANT id, BSTR name) override { return Standard->put_accName(id, name); }
    STDMETHODIMP put_accValue(VARIANT id, BSTR value) override { return Standard->put_accValue(id, value); }

private:
    IAccessible* Standard;
};

// A described control hands out its accessible object, and says its words once: its description
// ends when it loses the focus.
LRESULT CALLBACK DescribedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data)
{
    auto* described = reinterpret_cast<DescribedButton*>(data);
    switch (message) {
    case WM_GETOBJECT:
        if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
            return LresultFromObject(__uuidof(IAccessible), wParam, described);
        }
        break;
    case kDescribe:
        described->Description = *reinterpret_cast<const std::wstring*>(lParam);
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, control, OBJID_CLIENT, CHILDID_SELF);
        return 0;
    case WM_KILLFOCUS:
        described->Description.clear();
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, DescribedControlProc, 0);
        described->Release();
        break;
    default:
        break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}

void* Function(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace

Announcer::Announcer()
{
    // Accessible objects and providers are called on this thread, between its messages.
    ComStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    // Loaded for the program's life, and only used whole.
    Automation = LoadLibraryExW(L"uiautomationcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    void* raise = Function(Automation, "UiaRaiseNotificationEvent");
    void* give = Function(Automation, "UiaReturnRawElementProvider");
    void* host = Function(Automation, "UiaHostProviderFromHwnd");
    if (raise && give && host) {
        RaiseNotification = reinterpret_cast<decltype(RaiseNotification)>(raise);
        ReturnProvider = reinterpret_cast<decltype(ReturnProvider)>(give);
        HostProvider = reinterpret_cast<decltype(HostProvider)>(host);
    }
}

Announcer::~Announcer()
{
    if (Provider) {
        Provider->Release();
    }
    if (ComStarted) {
        CoUninitialize();
    }
}

void Announcer::Describe(HWND control)
{
    // __uuidof, not IID_IAccessible: MinGW's oleacc library gives that name no interface's id.
    void* standard = nullptr;
    if (RaiseNotification ||
        CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible), &standard) != S_OK) {
        return;
    }
    auto* described = new DescribedButton(static_cast<IAccessible*>(standard));
    if (!SetWindowSubclass(control, DescribedControlProc, 0, reinterpret_cast<DWORD_PTR>(described))) {
        described->Release();
    }
}

IRawElementProviderSimple* Announcer::ProviderOf(HWND window)
{
    if (!Provider) {
        Provider = new WindowProvider(window, HostProvider);
    }
    return Provider;
}

LRESULT Announcer::Object(HWND window, WPARAM wParam, LPARAM lParam)
{
    if (RaiseNotification && static_cast<long>(lParam) == kRootObjectId) {
        return ReturnProvider(window, wParam, lParam, ProviderOf(window));
    }
    return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
}

void Announcer::Announce(HWND window, HWND pressed, const std::wstring& words)
{
    if (RaiseNotification) {
        BSTR text = SysAllocString(words.c_str());
        BSTR activity = SysAllocString(L"Quorrin.Press");
        RaiseNotification(ProviderOf(window), kActionCompleted, kImportantMostRecent, text, activity);
        SysFreeString(activity);
        SysFreeString(text);
        return;
    }
    SendMessageW(pressed, kDescribe, 0, reinterpret_cast<LPARAM>(&words));
}

void Announcer::Disconnect(HWND window)
{
    if (Provider) {
        ReturnProvider(window, 0, 0, nullptr);
        Provider->Release();
        Provider = nullptr;
    }
}

}  // namespace quorrin
