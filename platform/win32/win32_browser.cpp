#include "platform/win32/win32_browser.h"

#include "platform/win32/windows_include.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>
#include <wrl/client.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>

#include "platform/win32/handle_refs.h"

namespace kestrun::platform::win32 {
namespace {

using Microsoft::WRL::ComPtr;
using CallObserver = Win32BrowserFactory::CallObserver;

static_assert(kDispDownloadComplete == DISPID_DOWNLOADCOMPLETE);
static_assert(kDispDocumentComplete == DISPID_DOCUMENTCOMPLETE);
static_assert(kDispWindowClosing == DISPID_WINDOWCLOSING);

// The reference count of the container's own COM objects: the last Release deletes the
// object. Single-threaded: the control calls its container on the window's thread only.
class ComCount {
  public:
    ULONG AddRef() { return ++references_; }
    template <class Object>
    ULONG Release(Object* object) {
        const ULONG left = --references_;
        if (left == 0) {
            delete object;
        }
        return left;
    }

  private:
    ULONG references_ = 0;
};

// A dispatch interface called by dispatch id only: it has no type information and no
// names.
class InvokeOnly : public IDispatch {
  public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count != nullptr) {
            *count = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) {
            *info = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
};

// The container's own COM objects start with no reference; this hands the first one to the
// caller's ComPtr, and their last Release deletes them.
template <class Object, class... Args>
ComPtr<Object> MakeCom(Args&&... args) {
    return ComPtr<Object>(new Object(std::forward<Args>(args)...));
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, &wide[0], length);
    return wide;
}

std::string Narrow(BSTR text) {
    const int size = static_cast<int>(SysStringLen(text));
    if (size == 0) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_ACP, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, size, &narrow[0], length, nullptr, nullptr);
    return narrow;
}

// A BSTR that frees itself.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(const std::string& text) {
        const std::wstring wide = Widen(text);
        value_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR Get() const { return value_; }
    BSTR* Out() {
        SysFreeString(value_);
        value_ = nullptr;
        return &value_;
    }

  private:
    BSTR value_ = nullptr;
};

// The frame window of the in-place control: the dialog. It has no menus, toolbars, status
// line or accelerators to share.
class ContainerFrame final : public IOleInPlaceFrame {
  public:
    explicit ContainerFrame(HWND dialog) : dialog_(dialog) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) ||
            IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
            *out = static_cast<IOleInPlaceFrame*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return count_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return count_.Release(this); }

    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = dialog_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override {
        return INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS widths) override {
        return widths == nullptr ? S_OK : INPLACE_E_NOTOOLSPACE;
    }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override {
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  private:
    // Only the last Release deletes it.
    friend class ComCount;
    ~ContainerFrame() = default;

    HWND dialog_;
    ComCount count_;
};

// Ambient properties the site answers: those of a running program rather than a form
// designer. Every other one (offline, silent, download control...) is left unanswered, so
// the control keeps its own defaults, as a new control whose properties nobody set.
struct AmbientAnswer {
    DISPID id;
    VARIANT_BOOL value;
};
constexpr AmbientAnswer kAmbientAnswers[] = {
    {DISPID_AMBIENT_USERMODE, VARIANT_TRUE},
    {DISPID_AMBIENT_UIDEAD, VARIANT_FALSE},
    {DISPID_AMBIENT_SHOWHATCHING, VARIANT_FALSE},
    {DISPID_AMBIENT_SHOWGRABHANDLES, VARIANT_FALSE},
};

// Keys whose commands would open a window of the browser's own (open, save as, print, help)
// and, through its file dialogs, a way to the desktop with the client's rights.
bool IsWindowOpeningKey(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return false;
    }
    if (message.wParam == VK_F1) {
        return true;
    }
    const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
    switch (message.wParam) {
        case 'N':
        case 'O':
        case 'S':
        case 'P':
        case 'L':
            return control;
        default:
            return false;
    }
}

// The control's place in the dialog: its client site, in-place site (its window becomes a
// child of the child control, filling it), ambient-property dispatch and the document host's
// UI handler, which keeps the browser's own menus and windows shut: the client runs with
// administrator rights and so would everything they open.
class ContainerSite final : public IOleClientSite,
                            public IOleInPlaceSite,
                            public IDocHostUIHandler,
                            public InvokeOnly {
  public:
    ContainerSite(HWND dialog, HWND child, CallObserver observer)
        : dialog_(dialog),
          child_(child),
          frame_(MakeCom<ContainerFrame>(dialog)),
          observer_(std::move(observer)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) {
            *out = static_cast<IOleClientSite*>(this);
        } else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite)) {
            *out = static_cast<IOleInPlaceSite*>(this);
        } else if (IsEqualIID(iid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
        } else if (IsEqualIID(iid, IID_IDocHostUIHandler)) {
            *out = static_cast<IDocHostUIHandler*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return count_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return count_.Release(this); }

    // IDocHostUIHandler: no context menu (View Source, Save Target As, Open in New Window),
    // no window-opening keys, no window.external; everything else as the control's default.
    HRESULT STDMETHODCALLTYPE ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetHostInfo(DOCHOSTUIINFO*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*,
                                     IOleInPlaceFrame*, IOleInPlaceUIWindow*) override {
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE HideUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateUI() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG message, const GUID*, DWORD) override {
        return message != nullptr && IsWindowOpeningKey(*message) ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key != nullptr) {
            *key = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDropTarget(IDropTarget*, IDropTarget** target) override {
        if (target != nullptr) {
            *target = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetExternal(IDispatch** external) override {
        if (external != nullptr) {
            *external = nullptr;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE TranslateUrl(DWORD, LPWSTR, LPWSTR* out) override {
        if (out != nullptr) {
            *out = nullptr;
        }
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE FilterDataObject(IDataObject*, IDataObject** out) override {
        if (out != nullptr) {
            *out = nullptr;
        }
        return S_FALSE;
    }

    // IOleClientSite: nothing to save, no moniker, no document container.
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker != nullptr) {
            *moniker = nullptr;
        }
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override {
        if (container != nullptr) {
            *container = nullptr;
        }
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow of the in-place site.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (window == nullptr) {
            return E_POINTER;
        }
        *window = child_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame,
                                               IOleInPlaceUIWindow** document, LPRECT position,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
            info == nullptr) {
            return E_POINTER;
        }
        frame_.CopyTo(frame);
        *document = nullptr;
        GetClientRect(child_, position);
        *clip = *position;
        info->fMDIApp = FALSE;
        info->hwndFrame = dialog_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    // The child control decides the control's size (CWebBrowser2 follows it).
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }

    // IDispatch: ambient properties.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                     VARIANT* result, EXCEPINFO*, UINT*) override {
        if (observer_) {
            observer_("ambient", id);
        }
        if ((flags & DISPATCH_PROPERTYGET) == 0 || result == nullptr) {
            return DISP_E_MEMBERNOTFOUND;
        }
        for (const AmbientAnswer& answer : kAmbientAnswers) {
            if (answer.id == id) {
                VariantInit(result);
                V_VT(result) = VT_BOOL;
                V_BOOL(result) = answer.value;
                return S_OK;
            }
        }
        return DISP_E_MEMBERNOTFOUND;
    }

  private:
    // Only the last Release deletes it.
    friend class ComCount;
    ~ContainerSite() = default;

    HWND dialog_;
    HWND child_;
    ComPtr<ContainerFrame> frame_;
    CallObserver observer_;
    ComCount count_;
};

// DocumentComplete(pDisp, URL): the arguments arrive last first, so the address is
// rgvarg[0], a VARIANT* holding a BSTR.
std::string DocumentAddress(const DISPPARAMS* params) {
    if (params == nullptr || params->cArgs < 2 || params->rgvarg == nullptr) {
        return {};
    }
    const VARIANT* address = &params->rgvarg[0];
    if (V_VT(address) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(address) != nullptr) {
        address = V_VARIANTREF(address);
    }
    if (V_VT(address) == VT_BSTR) {
        return Narrow(V_BSTR(address));
    }
    if (V_VT(address) == (VT_BSTR | VT_BYREF) && V_BSTRREF(address) != nullptr) {
        return Narrow(*V_BSTRREF(address));
    }
    return {};
}

// Argument index of an event, counted from the first as declared (arguments arrive last
// first); nullptr when the event has fewer.
const VARIANT* Argument(const DISPPARAMS* params, UINT declared, UINT index) {
    if (params == nullptr || params->rgvarg == nullptr || params->cArgs != declared ||
        index >= declared) {
        return nullptr;
    }
    const VARIANT* argument = &params->rgvarg[declared - 1 - index];
    if (V_VT(argument) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(argument) != nullptr) {
        argument = V_VARIANTREF(argument);
    }
    return argument;
}

void Cancel(const VARIANT* flag) {
    if (flag != nullptr && V_VT(flag) == (VT_BOOL | VT_BYREF) && V_BOOLREF(flag) != nullptr) {
        *V_BOOLREF(flag) = VARIANT_TRUE;
    }
}

std::string TextOf(const VARIANT* argument) {
    if (argument != nullptr && V_VT(argument) == VT_BSTR) {
        return Narrow(V_BSTR(argument));
    }
    if (argument != nullptr && V_VT(argument) == (VT_BSTR | VT_BYREF) &&
        V_BSTRREF(argument) != nullptr) {
        return Narrow(*V_BSTRREF(argument));
    }
    return {};
}

// Whether a navigation of the given frame (its dispatch) to an address may go ahead.
using NavigationCheck = std::function<bool(IDispatch* frame, const std::string& address)>;

// The DWebBrowserEvents2 sink. Its owner disconnects it before letting go, since the
// control may hold on to it a little longer.
class EventSink final : public InvokeOnly {
  public:
    EventSink(BrowserEvents& events, NavigationCheck check, CallObserver observer)
        : events_(&events), check_(std::move(check)), observer_(std::move(observer)) {}

    void Disconnect() {
        events_ = nullptr;
        check_ = nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, DIID_DWebBrowserEvents2)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return count_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return count_.Release(this); }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        // A handler may destroy the browser that owns this sink.
        const ComPtr<EventSink> keepAlive(this);
        if (observer_) {
            observer_("event", id);
        }
        if (events_ == nullptr) {
            // No owner any more: nothing new is let through.
            if (id == DISPID_BEFORENAVIGATE2) {
                Cancel(Argument(params, 7, 6));
            }
            return S_OK;
        }
        switch (id) {
            // BeforeNavigate2(pDisp, URL, Flags, TargetFrameName, PostData, Headers, Cancel)
            case DISPID_BEFORENAVIGATE2: {
                const VARIANT* frame = Argument(params, 7, 0);
                IDispatch* const frameDispatch =
                    frame != nullptr && V_VT(frame) == VT_DISPATCH ? V_DISPATCH(frame) : nullptr;
                if (!check_ || !check_(frameDispatch, TextOf(Argument(params, 7, 1)))) {
                    Cancel(Argument(params, 7, 6));
                }
                break;
            }
            // NewWindow2(ppDisp, Cancel), NewWindow3(ppDisp, Cancel, dwFlags, context, URL).
            case DISPID_NEWWINDOW2:
                Cancel(Argument(params, 2, 1));
                break;
            case DISPID_NEWWINDOW3:
                Cancel(Argument(params, 5, 1));
                break;
            // FileDownload(Cancel) before IE 7, FileDownload(ActiveDocument, Cancel) since;
            // the later one also announces every page it shows, which goes ahead.
            case DISPID_FILEDOWNLOAD:
                if (params != nullptr && params->cArgs == 1) {
                    Cancel(Argument(params, 1, 0));
                } else {
                    const VARIANT* document = Argument(params, 2, 0);
                    const bool page = document != nullptr && V_VT(document) == VT_BOOL &&
                                      V_BOOL(document) != VARIANT_FALSE;
                    if (!page) {
                        Cancel(Argument(params, 2, 1));
                    }
                }
                break;
            case DISPID_DOCUMENTCOMPLETE:
                events_->OnBrowserEvent(kDispDocumentComplete, DocumentAddress(params));
                break;
            // The cancel flag is left as it came: the window is allowed to close.
            case DISPID_WINDOWCLOSING:
                events_->OnBrowserEvent(kDispWindowClosing, std::string());
                break;
            case DISPID_DOWNLOADCOMPLETE:
                events_->OnBrowserEvent(kDispDownloadComplete, std::string());
                break;
            default:
                break;
        }
        return S_OK;
    }

  private:
    // Only the last Release deletes it.
    friend class ComCount;
    ~EventSink() = default;

    BrowserEvents* events_;
    NavigationCheck check_;
    CallObserver observer_;
    ComCount count_;
};

// The child control is subclassed so the control follows its size and enabled state and
// closes with it. The properties hold the browser and the window procedure it replaced.
constexpr char kBrowserProperty[] = "KestrunBrowser";
constexpr char kProcedureProperty[] = "KestrunBrowserProc";

}  // namespace

class CWebBrowser2 final : public Browser {
  public:
    CWebBrowser2(Win32BrowserFactory& factory, HWND dialog, HWND child, NavigationRule rule)
        : factory_(factory), dialog_(dialog), child_(child), rule_(rule) {}
    ~CWebBrowser2() override { Close(); }
    CWebBrowser2(const CWebBrowser2&) = delete;
    CWebBrowser2& operator=(const CWebBrowser2&) = delete;

    bool Open(BrowserEvents& events, const CallObserver& observer) {
        if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                    reinterpret_cast<void**>(object_.ReleaseAndGetAddressOf())))) {
            return false;
        }
        site_ = MakeCom<ContainerSite>(dialog_, child_, observer);
        IOleClientSite* const clientSite = site_.Get();
        // The control wants its site before it initialises (OLEMISC_SETCLIENTSITEFIRST).
        if (FAILED(object_->SetClientSite(clientSite))) {
            return false;
        }
        ComPtr<IPersistStreamInit> persist;
        if (SUCCEEDED(object_.As(&persist))) {
            persist->InitNew();
        }
        // The child control must not paint over the control's window.
        SetWindowLongPtrA(child_, GWL_STYLE,
                          GetWindowLongPtrA(child_, GWL_STYLE) | WS_CLIPCHILDREN);
        RECT area;
        GetClientRect(child_, &area);
        if (FAILED(
                object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, clientSite, 0, child_, &area)) ||
            FAILED(object_.As(&browser_)) || FAILED(object_.As(&inPlace_))) {
            return false;
        }
        ComPtr<IConnectionPointContainer> points;
        if (FAILED(object_.As(&points)) ||
            FAILED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, &connection_))) {
            return false;
        }
        sink_ = MakeCom<EventSink>(
            events,
            [this](IDispatch* frame, const std::string& address) {
                return AllowsNavigation(frame, address);
            },
            observer);
        if (FAILED(connection_->Advise(sink_.Get(), &cookie_))) {
            connection_.Reset();
            return false;
        }
        Subclass();
        FollowEnabled();
        factory_.Register(this);
        return true;
    }

    // A key for a window of the control goes to the control's own accelerators first.
    bool TranslateKey(MSG& message) {
        const HWND control = ControlWindow();
        if (control == nullptr || (message.hwnd != control && !IsChild(control, message.hwnd))) {
            return false;
        }
        ComPtr<IOleInPlaceActiveObject> active;
        return object_ && SUCCEEDED(object_.As(&active)) &&
               active->TranslateAccelerator(&message) == S_OK;
    }

    // Only the client's own local page is shown this way.
    void Navigate(const std::string& url) override {
        localPage_ = url;
        NavigateTo(url, nullptr);
    }

    void NavigateWithHeaders(const std::string& url, const std::string& headers) override {
        const Bstr text(headers);
        VARIANT headersArgument;
        VariantInit(&headersArgument);
        V_VT(&headersArgument) = VT_BSTR;
        V_BSTR(&headersArgument) = text.Get();
        NavigateTo(url, &headersArgument);
    }

    std::string LocationURL() override {
        Bstr location;
        if (!browser_ || FAILED(browser_->get_LocationURL(location.Out())) ||
            location.Get() == nullptr) {
            return {};
        }
        return Narrow(location.Get());
    }

  private:
    // Frames are the page's own business; the top-level document is the rule's.
    bool AllowsNavigation(IDispatch* frame, const std::string& address) {
        ComPtr<IUnknown> frameIdentity;
        ComPtr<IUnknown> topIdentity;
        if (frame != nullptr && browser_) {
            frame->QueryInterface(IID_IUnknown,
                                  reinterpret_cast<void**>(frameIdentity.GetAddressOf()));
            browser_.As(&topIdentity);
        }
        const bool topLevel = frame == nullptr || frameIdentity.Get() == topIdentity.Get();
        return !topLevel || (rule_ != nullptr && rule_(address, LocationURL(), localPage_));
    }

    void NavigateTo(const std::string& url, VARIANT* headers) {
        if (browser_) {
            const Bstr address(url);
            browser_->Navigate(address.Get(), nullptr, nullptr, nullptr, headers);
        }
    }

    void Close() {
        factory_.Unregister(this);
        Unsubclass();
        if (connection_) {
            connection_->Unadvise(cookie_);
            connection_.Reset();
        }
        if (sink_) {
            sink_->Disconnect();
            sink_.Reset();
        }
        inPlace_.Reset();
        browser_.Reset();
        if (object_) {
            object_->Close(OLECLOSE_NOSAVE);
            object_->SetClientSite(nullptr);
            object_.Reset();
        }
        site_.Reset();
    }

    HWND ControlWindow() const {
        HWND window = nullptr;
        if (inPlace_ && SUCCEEDED(inPlace_->GetWindow(&window))) {
            return window;
        }
        return nullptr;
    }

    void FollowSize() {
        if (inPlace_) {
            RECT area;
            GetClientRect(child_, &area);
            inPlace_->SetObjectRects(&area, &area);
        }
    }

    // A disabled parent keeps the mouse from the control's windows but not a focus they
    // already have; the control's own window is disabled too and the focus moves on.
    void FollowEnabled() {
        const HWND control = ControlWindow();
        if (control == nullptr) {
            return;
        }
        const bool enabled = IsWindowEnabled(child_) != FALSE;
        EnableWindow(control, enabled ? TRUE : FALSE);
        if (!enabled && HoldsFocus()) {
            SendMessageA(dialog_, WM_NEXTDLGCTL, 0, FALSE);
            if (HoldsFocus()) {
                SetFocus(dialog_);
            }
        }
    }

    bool HoldsFocus() const {
        const HWND focus = GetFocus();
        return focus != nullptr && (focus == child_ || IsChild(child_, focus));
    }

    void Subclass() {
        const LONG_PTR replaced = GetWindowLongPtrA(child_, GWLP_WNDPROC);
        SetPropA(child_, kProcedureProperty, reinterpret_cast<HANDLE>(replaced));
        SetPropA(child_, kBrowserProperty, this);
        SetWindowLongPtrA(child_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChildProcedure));
        subclassed_ = true;
    }

    void Unsubclass() {
        if (!subclassed_) {
            return;
        }
        subclassed_ = false;
        RemovePropA(child_, kBrowserProperty);
        // When someone subclassed the control after us, ChildProcedure stays in the chain
        // and only forwards; its property goes with the window.
        if (GetWindowLongPtrA(child_, GWLP_WNDPROC) ==
            reinterpret_cast<LONG_PTR>(&ChildProcedure)) {
            SetWindowLongPtrA(child_, GWLP_WNDPROC,
                              reinterpret_cast<LONG_PTR>(GetPropA(child_, kProcedureProperty)));
            RemovePropA(child_, kProcedureProperty);
        }
    }

    static LRESULT CALLBACK ChildProcedure(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
        const auto replaced = reinterpret_cast<WNDPROC>(GetPropA(window, kProcedureProperty));
        if (auto* self = static_cast<CWebBrowser2*>(GetPropA(window, kBrowserProperty))) {
            switch (message) {
                case WM_SIZE:
                    self->FollowSize();
                    break;
                case WM_ENABLE:
                    self->FollowEnabled();
                    break;
                // The control's windows go with the child control: close it while they exist.
                case WM_DESTROY:
                    self->Close();
                    break;
                default:
                    break;
            }
        }
        if (message == WM_NCDESTROY) {
            RemovePropA(window, kProcedureProperty);
        }
        return replaced != nullptr ? CallWindowProcA(replaced, window, message, wParam, lParam)
                                   : DefWindowProcA(window, message, wParam, lParam);
    }

    Win32BrowserFactory& factory_;
    HWND dialog_;
    HWND child_;
    NavigationRule rule_;
    std::string localPage_;
    ComPtr<ContainerSite> site_;
    ComPtr<EventSink> sink_;
    ComPtr<IOleObject> object_;
    ComPtr<IOleInPlaceObject> inPlace_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
    bool subclassed_ = false;
};

Win32BrowserFactory::~Win32BrowserFactory() {
    if (oleStarted_) {
        OleUninitialize();
    }
}

// OLE waits for the first browser: a client that stays hidden never starts it.
std::unique_ptr<Browser> Win32BrowserFactory::Attach(WindowRef dialog, int controlId,
                                                     BrowserEvents& events, NavigationRule rule) {
    if (!oleStarted_) {
        oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
    }
    const HWND dialogWindow = AsWindow(dialog);
    const HWND child = GetDlgItem(dialogWindow, controlId);
    // One browser per child control: a second would take the first one's procedure for the
    // control's own.
    if (child == nullptr || GetPropA(child, kProcedureProperty) != nullptr) {
        return nullptr;
    }
    auto browser = std::make_unique<CWebBrowser2>(*this, dialogWindow, child, rule);
    if (!browser->Open(events, observer_)) {
        return nullptr;
    }
    return browser;
}

void Win32BrowserFactory::Unregister(CWebBrowser2* browser) {
    open_.erase(std::remove(open_.begin(), open_.end(), browser), open_.end());
}

bool Win32BrowserFactory::PreTranslate(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) {
        return false;
    }
    for (CWebBrowser2* browser : open_) {
        if (browser->TranslateKey(message)) {
            return true;
        }
    }
    return false;
}

}  // namespace kestrun::platform::win32
