#include "compat/ddraw/DrawClipper.h"

namespace compat::ddraw {

HRESULT DrawClipper::QueryInterface(REFIID riid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDirectDrawClipper) {
        *object = this;
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DrawClipper::AddRef() { return ++references; }

ULONG DrawClipper::Release()
{
    const ULONG remaining = --references;
    if (remaining == 0)
        delete this;
    return remaining;
}

HRESULT DrawClipper::SetHWnd(DWORD flags, HWND window)
{
    boundWindow = window;
    return DD_OK;
}

} // namespace compat::ddraw
