// Screen-reader annotations of controls through IAccPropServices, and the
// live-region event.
#include "annotations.h"

#include <oleacc.h>

namespace {

// UI Automation's LiveSetting property and its Polite value; no MinGW header has them.
constexpr GUID kLiveSettingProperty = {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG kPolite = 1;

constexpr int kNameChars = 64; // with the terminating NUL

} // namespace

IAccPropServices* OpenAnnotations() {
    void* service = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, &service))) {
        return nullptr;
    }
    return static_cast<IAccPropServices*>(service);
}

void CloseAnnotations(IAccPropServices* service) {
    if (service != nullptr) {
        service->Release();
    }
}

void AnnotateName(IAccPropServices* service, HWND control, const char* name) {
    wchar_t wide[kNameChars] = {};
    if (service == nullptr || control == nullptr ||
        MultiByteToWideChar(CP_ACP, 0, name, -1, wide, kNameChars) == 0) {
        return;
    }
    service->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                            PROPID_ACC_NAME, wide);
}

void AnnotatePoliteLiveRegion(IAccPropServices* service, HWND control) {
    if (service == nullptr || control == nullptr) {
        return;
    }
    // Filled by hand: VariantInit would bring in oleaut32.dll.
    VARIANT polite{};
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    service->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                         kLiveSettingProperty, polite);
}

void ClearAnnotations(IAccPropServices* service, HWND control) {
    if (service == nullptr || control == nullptr) {
        return;
    }
    const MSAAPROPID props[] = {PROPID_ACC_NAME, kLiveSettingProperty};
    service->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, props,
                            static_cast<int>(sizeof props / sizeof props[0]));
}

void AnnounceLiveRegion(HWND control) {
    if (control != nullptr) {
        NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, control, OBJID_CLIENT, CHILDID_SELF);
    }
}
