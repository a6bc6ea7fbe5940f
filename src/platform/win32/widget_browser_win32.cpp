// The system's web browser control, hosted in the smallest OLE container it accepts. Where the
// control cannot be made (no COM apartment, or no browser at all) the widget is an empty area
// in its colour.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <exdisp.h>
#include <exdispid.h>

#include "platform/widgets.h"
#include "platform/win32/widget_host_win32.h"
#include "platform/win32/wide.h"

namespace orlo::platform {
namespace {

using win32::ComPtr;

// OLE stays initialised on the UI thread until the process ends: browser objects may live in
// static storage of the shell until then.
bool OleReady() {
    static const bool ready = SUCCEEDED(OleInitialize(nullptr));
    return ready;
}

class Bstr {
  public:
    explicit Bstr(const std::wstring& text) : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr() = default;
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    BSTR get() const { return b_; }
    BSTR* put() {
        SysFreeString(b_);
        b_ = nullptr;
        return &b_;
    }

  private:
    BSTR b_ = nullptr;
};

// The container's side. Its lifetime is the widget's, which closes the browser (and so drops
// every reference the browser holds) before it goes: the reference counts are only nominal.
class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame, public IDispatch {
  public:
    explicit BrowserSite(HWND host) : host_(host) {}
    BrowserSite(const BrowserSite&) = delete;
    BrowserSite& operator=(const BrowserSite&) = delete;
    virtual ~BrowserSite() = default;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite)
            *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite)
            *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame)
            *out = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2)
            *out = static_cast<IDispatch*>(this);
        else
            return E_NOINTERFACE;
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 1; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = host_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame,
                                  IOleInPlaceUIWindow** document,
                                  LPRECT position,
                                  LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override {
        if (frame) *frame = static_cast<IOleInPlaceFrame*>(this);
        if (document) *document = nullptr;
        RECT client = {};
        GetClientRect(host_, &client);
        if (position) *position = client;
        if (clip) *clip = client;
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = GetAncestor(host_, GA_ROOT);
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }

    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDispatch, as the browser's event sink: every request for a new window is cancelled.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        if (!params) return S_OK;
        // Arguments arrive last first: NewWindow2(ppDisp, Cancel), NewWindow3(ppDisp, Cancel, ...).
        if ((id != DISPID_NEWWINDOW2 && id != DISPID_NEWWINDOW3) || params->cArgs < 2 || !params->rgvarg) return S_OK;
        VARIANT& cancel = params->rgvarg[params->cArgs - 2];
        if (cancel.vt == (VT_BYREF | VT_BOOL) && cancel.pboolVal) *cancel.pboolVal = VARIANT_TRUE;
        return S_OK;
    }

  private:
    HWND host_;
};

class Win32Browser final : public win32::Win32Widget<BrowserWidget> {
  public:
    Win32Browser(Form& form, WidgetEvents events) : Win32Widget(form, std::move(events)) {
        if (!CreateChild(win32::CustomClass(L"OrloBrowser"), WS_CLIPCHILDREN)) return;
        site_ = std::make_unique<BrowserSite>(hwnd());
        Embed();
    }
    ~Win32Browser() override { Close(); }

    bool Available() const override { return static_cast<bool>(browser_); }
    void Navigate(const std::string& url) override {
        if (!browser_) return;
        Bstr address(win32::Widen(url));
        VARIANT empty;
        VariantInit(&empty);
        browser_->Navigate(address.get(), &empty, &empty, &empty, &empty);
    }
    std::string Location() const override {
        if (!browser_) return {};
        Bstr location;
        if (FAILED(browser_->get_LocationURL(location.put())) || !location.get()) return {};
        return win32::Narrow(std::wstring_view(location.get(), SysStringLen(location.get())));
    }

  protected:
    void BoundsChanged() override {
        if (!object_) return;
        ComPtr<IOleInPlaceObject> in_place;
        if (FAILED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(in_place.put())))) return;
        RECT client = {};
        GetClientRect(hwnd(), &client);
        in_place->SetObjectRects(&client, &client);
    }

    LRESULT OnMessage(UINT message, WPARAM, LPARAM, bool& handled) override {
        LRESULT result = 0;
        handled = SelfPaint(message, result, [this](HDC dc, RECT client) {
            win32::UniqueBrush brush(CreateSolidBrush(color_ ? win32::ToColorRef(*color_) : GetSysColor(COLOR_WINDOW)));
            FillRect(dc, &client, brush.get());
        });
        return result;
    }

  private:
    void Embed() {
        if (!OleReady()) return;
        ComPtr<IOleObject> object;
        if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                    reinterpret_cast<void**>(object.put()))))
            return;
        auto* client_site = static_cast<IOleClientSite*>(site_.get());
        if (FAILED(object->SetClientSite(client_site))) return;
        object_ = std::move(object);
        RECT client = {};
        GetClientRect(hwnd(), &client);
        ComPtr<IWebBrowser2> browser;
        if (FAILED(object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, client_site, 0, hwnd(), &client)) ||
            FAILED(object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser.put())))) {
            Close();
            return;
        }
        // No script error dialogs, and not a target for other programs' links.
        browser->put_Silent(VARIANT_TRUE);
        browser->put_RegisterAsBrowser(VARIANT_FALSE);
        ComPtr<IConnectionPointContainer> points;
        if (SUCCEEDED(browser->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(points.put()))) &&
            SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, events_point_.put()))) {
            if (FAILED(events_point_->Advise(static_cast<IDispatch*>(site_.get()), &cookie_))) events_point_.reset();
        }
        browser_ = std::move(browser);
    }

    void Close() {
        if (events_point_) {
            events_point_->Unadvise(cookie_);
            events_point_.reset();
        }
        browser_.reset();
        if (!object_) return;
        ComPtr<IOleInPlaceObject> in_place;
        if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(in_place.put()))))
            in_place->InPlaceDeactivate();
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
        object_.reset();
    }

    std::unique_ptr<BrowserSite> site_;
    ComPtr<IOleObject> object_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IConnectionPoint> events_point_;
    DWORD cookie_ = 0;
};

}  // namespace

std::unique_ptr<BrowserWidget> CreateBrowser(Form& form, WidgetEvents events) {
    return std::make_unique<Win32Browser>(form, std::move(events));
}

}  // namespace orlo::platform
