// The COM runtime calls the game makes: apartment set-up, object creation by class id, variants
// and BSTR strings. Our own declarations; classes are in-process stand-ins registered by id.
#pragma once

#include "compat/win32/base.h"
#include "compat/win32/com.h"

using OLECHAR = wchar_t;
using LPCOLESTR = const OLECHAR*;
using LPCWSTR = const wchar_t*;
using BSTR = OLECHAR*;

using VARTYPE = unsigned short;
constexpr VARTYPE VT_EMPTY = 0;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_UI4 = 19;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        ULONG ulVal;
        LONG lVal;
        BSTR bstrVal;
    };
};

void VariantInit(VARIANT* value);
// Frees what the variant owns (a BSTR) and leaves it empty.
HRESULT VariantClear(VARIANT* value);

// null gives null.
BSTR SysAllocString(LPCOLESTR text);
void SysFreeString(BSTR text);

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);

// S_OK for the thread's first call, S_FALSE for further ones; each needs a CoUninitialize.
HRESULT CoInitialize(LPVOID reserved);
void CoUninitialize();
HRESULT CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID riid, LPVOID* object);

namespace compat::ole {

// Makes a new object of a class and asks it for riid; the answer of QueryInterface is returned.
using ClassFactory = HRESULT (*)(REFIID riid, void** object);
// Registers an in-process class (a later registration of the same id replaces the earlier one).
void registerClass(const CLSID& classId, ClassFactory factory);

} // namespace compat::ole
