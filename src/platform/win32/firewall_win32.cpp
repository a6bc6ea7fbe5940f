#include <windows.h>
#include <netfw.h>
#include <oleauto.h>

#include <memory>

#include "platform/firewall.h"
#include "platform/win32/handles.h"
#include "platform/win32/wide.h"

namespace orlo::platform {
namespace {

using win32::ComPtr;

// COM for the calling thread for as long as the owner lives. A thread already in another
// apartment can still make these calls, so only a refused start counts as failure.
class ComApartment {
  public:
    ComApartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();  // S_FALSE too: every successful call is balanced
    }
    bool usable() const { return SUCCEEDED(hr_) || hr_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT hr_;
};

struct BstrFree {
    void operator()(BSTR s) const { SysFreeString(s); }
};
using UniqueBstr = std::unique_ptr<OLECHAR, BstrFree>;

struct VariantClearer {
    VARIANT* v;
    ~VariantClearer() { VariantClear(v); }
};

template <class T>
ComPtr<T> Create(const wchar_t* prog_id) {
    ComPtr<T> object;
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(prog_id, &clsid))) return object;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, __uuidof(T),
                                reinterpret_cast<void**>(object.put()))))
        object.reset();
    return object;
}

// LocalPolicy -> CurrentProfile -> AuthorizedApplications; empty on any failure.
ComPtr<INetFwAuthorizedApplications> AuthorizedApplications(INetFwMgr* manager) {
    ComPtr<INetFwAuthorizedApplications> apps;
    ComPtr<INetFwPolicy> policy;
    ComPtr<INetFwProfile> profile;
    if (FAILED(manager->get_LocalPolicy(policy.put())) || !policy) return apps;
    if (FAILED(policy->get_CurrentProfile(profile.put())) || !profile) return apps;
    if (FAILED(profile->get_AuthorizedApplications(apps.put()))) apps.reset();
    return apps;
}

UniqueBstr Bstr(const std::wstring& text) { return UniqueBstr(SysAllocString(text.c_str())); }

}  // namespace

void AddFirewallApplication(std::string_view name, const std::filesystem::path& program) {
    ComApartment com;
    if (!com.usable()) return;
    auto manager = Create<INetFwMgr>(L"HNetCfg.FwMgr");
    auto app = Create<INetFwAuthorizedApplication>(L"HNetCfg.FwAuthorizedApplication");
    if (!manager || !app) return;

    auto path = Bstr(program.wstring());
    auto wide_name = Bstr(win32::Widen(name));
    if (!path || !wide_name) return;
    if (FAILED(app->put_ProcessImageFileName(path.get())) || FAILED(app->put_Name(wide_name.get())) ||
        FAILED(app->put_Scope(NET_FW_SCOPE_ALL)) || FAILED(app->put_IpVersion(NET_FW_IP_VERSION_ANY)) ||
        FAILED(app->put_Enabled(VARIANT_TRUE)))
        return;

    auto apps = AuthorizedApplications(manager.get());
    if (!apps) return;
    // Removing a path that is not listed is no reason to skip the addition.
    apps->Remove(path.get());
    apps->Add(app.get());
}

int FirewallApplicationCount(const std::filesystem::path& program) {
    ComApartment com;
    if (!com.usable()) return -1;
    auto manager = Create<INetFwMgr>(L"HNetCfg.FwMgr");
    if (!manager) return -1;
    auto apps = AuthorizedApplications(manager.get());
    if (!apps) return -1;

    ComPtr<IUnknown> unknown;
    ComPtr<IEnumVARIANT> items;
    if (FAILED(apps->get__NewEnum(unknown.put())) || !unknown) return -1;
    if (FAILED(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(items.put())))) return -1;

    const std::wstring wanted = program.wstring();
    int count = 0;
    for (;;) {
        VARIANT item;
        VariantInit(&item);
        VariantClearer clear{&item};
        ULONG fetched = 0;
        if (items->Next(1, &item, &fetched) != S_OK || fetched != 1) break;
        if (item.vt != VT_DISPATCH || !item.pdispVal) continue;
        ComPtr<INetFwAuthorizedApplication> app;
        if (FAILED(item.pdispVal->QueryInterface(__uuidof(INetFwAuthorizedApplication),
                                                 reinterpret_cast<void**>(app.put()))))
            continue;
        BSTR raw = nullptr;
        if (FAILED(app->get_ProcessImageFileName(&raw))) continue;
        UniqueBstr image(raw);
        // File names on Windows do not differ by letter case.
        if (image && _wcsicmp(image.get(), wanted.c_str()) == 0) ++count;
    }
    return count;
}

}  // namespace orlo::platform
