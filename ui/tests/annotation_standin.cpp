// A stand-in for Windows' accessibility annotation service, for the tests: an
// in-process COM server that a test registers under the service's class id in
// a Wine prefix of its own. Each call the program makes is written as one line,
// flushed at once, to the file named by RECEIVER_ANNOTATION_LOG: the method, the
// control's id, the object and child ids, then the properties and the value.
// The methods the program does not call answer E_NOTIMPL.
#include <windows.h>

#include <oleacc.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

void Log(const char* format, ...) {
    const char* path = std::getenv("RECEIVER_ANNOTATION_LOG");
    std::FILE* file = path == nullptr ? nullptr : std::fopen(path, "ab");
    if (file == nullptr) {
        return;
    }
    va_list args;
    va_start(args, format);
    std::vfprintf(file, format, args);
    va_end(args);
    std::fputs("\n", file);
    std::fclose(file);
}

struct GuidText {
    char text[40];
};

GuidText TextOf(const GUID& g) {
    GuidText t{};
    std::snprintf(t.text, sizeof t.text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                  g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return t;
}

// The object's own reference counts do not matter: it lives as long as the DLL.
struct Service final : IAccPropServices {
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IAccPropServices)
                   ? static_cast<IAccPropServices*>(this)
                   : nullptr;
        return *out != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }

    HRESULT WINAPI SetHwndProp(HWND hwnd, DWORD object, DWORD child, MSAAPROPID prop,
                               VARIANT var) override {
        Log("SetHwndProp %d %ld %lu %s vt=%u %ld", GetDlgCtrlID(hwnd), static_cast<LONG>(object),
            child, TextOf(prop).text, var.vt, var.lVal);
        return S_OK;
    }
    HRESULT WINAPI SetHwndPropStr(HWND hwnd, DWORD object, DWORD child, MSAAPROPID prop,
                                  LPCWSTR str) override {
        char narrow[256] = {};
        WideCharToMultiByte(CP_ACP, 0, str, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
        Log("SetHwndPropStr %d %ld %lu %s %s", GetDlgCtrlID(hwnd), static_cast<LONG>(object), child,
            TextOf(prop).text, narrow);
        return S_OK;
    }
    HRESULT WINAPI ClearHwndProps(HWND hwnd, DWORD object, DWORD child, const MSAAPROPID* props,
                                  int count) override {
        char list[200] = {};
        std::size_t used = 0;
        for (int i = 0; i < count && used + sizeof(GuidText) < sizeof list; ++i) {
            used += static_cast<std::size_t>(
                std::snprintf(list + used, sizeof list - used, " %s", TextOf(props[i]).text));
        }
        Log("ClearHwndProps %d %ld %lu%s", GetDlgCtrlID(hwnd), static_cast<LONG>(object), child,
            list);
        return S_OK;
    }

    HRESULT WINAPI SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                 AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                     AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT WINAPI SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                      AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT WINAPI DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
        return E_NOTIMPL;
    }
} service;

struct Factory final : IClassFactory {
    HRESULT WINAPI QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)
                   ? static_cast<IClassFactory*>(this)
                   : nullptr;
        return *out != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG WINAPI AddRef() override { return 2; }
    ULONG WINAPI Release() override { return 1; }
    HRESULT WINAPI CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        return outer != nullptr ? CLASS_E_NOAGGREGATION : service.QueryInterface(iid, out);
    }
    HRESULT WINAPI LockServer(BOOL) override { return S_OK; }
} factory;

} // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    *out = nullptr;
    return IsEqualCLSID(clsid, CLSID_AccPropServices) ? factory.QueryInterface(iid, out)
                                                      : CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() {
    return S_FALSE;
}
