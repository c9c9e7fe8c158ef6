#include "compat/ole/ole.h"

#include "compat/ole/control.h"
#include "compat/ole/dxdiag.h"

#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

namespace {

thread_local int apartmentUsers = 0;

struct ClassEntry {
    CLSID id;
    compat::ole::ClassFactory factory;
};

std::vector<ClassEntry>& classes()
{
    static std::vector<ClassEntry> table = {{CLSID_DxDiagProvider, compat::ole::createDxDiagProvider}};
    return table;
}

} // namespace

void VariantInit(VARIANT* value)
{
    std::memset(value, 0, sizeof *value);
    value->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* value)
{
    if (value == nullptr)
        return E_INVALIDARG;
    if (value->vt == VT_BSTR)
        SysFreeString(value->bstrVal);
    VariantInit(value);
    return S_OK;
}

BSTR SysAllocString(LPCOLESTR text)
{
    if (text == nullptr)
        return nullptr;
    const std::size_t length = std::wcslen(text);
    BSTR copy = new (std::nothrow) OLECHAR[length + 1];
    if (copy != nullptr)
        std::wmemcpy(copy, text, length + 1);
    return copy;
}

void SysFreeString(BSTR text) { delete[] text; }

HRESULT CoInitialize(LPVOID reserved) { return apartmentUsers++ == 0 ? S_OK : S_FALSE; }

void CoUninitialize()
{
    if (apartmentUsers > 0)
        --apartmentUsers;
}

HRESULT CoCreateInstance(REFCLSID classId, LPUNKNOWN outer, DWORD context, REFIID riid, LPVOID* object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (apartmentUsers == 0)
        return CO_E_NOTINITIALIZED;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    for (const ClassEntry& entry : classes())
        if (entry.id == classId && (context & CLSCTX_INPROC_SERVER) != 0)
            return entry.factory(riid, object);
    return REGDB_E_CLASSNOTREG;
}

void compat::ole::registerClass(const CLSID& classId, ClassFactory factory)
{
    for (ClassEntry& entry : classes())
        if (entry.id == classId) {
            entry.factory = factory;
            return;
        }
    classes().push_back({classId, factory});
}

namespace {
struct ProgIdEntry {
    std::wstring progId;
    CLSID id;
};
std::vector<ProgIdEntry>& progIds()
{
    static std::vector<ProgIdEntry> entries;
    return entries;
}
} // namespace

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* classId)
{
    if (!progId || !classId)
        return E_INVALIDARG;
    *classId = CLSID{};
    for (const ProgIdEntry& entry : progIds())
        if (entry.progId == progId) {
            *classId = entry.id;
            return S_OK;
        }
    return REGDB_E_CLASSNOTREG;
}

void compat::ole::registerProgId(const wchar_t* progId, const CLSID& classId)
{
    for (ProgIdEntry& entry : progIds())
        if (entry.progId == progId) {
            entry.id = classId;
            return;
        }
    progIds().push_back({progId, classId});
}
