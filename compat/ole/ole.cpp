#include "compat/ole/ole.h"

#include "compat/ole/control.h"
#include "compat/ole/dxdiag.h"
#include "compat/win32/hexdigit.h"

#include <cstdint>
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

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* classId)
{
    if (!text || !classId)
        return E_INVALIDARG;
    *classId = CLSID{};
    // The digits of each group in order; the dashes and braces sit between them.
    static const char layout[] = "{........-....-....-....-............}";
    if (std::wcslen(text) != sizeof layout - 1)
        return CO_E_CLASSSTRING;
    std::uint8_t bytes[16] = {};
    int digits = 0;
    for (std::size_t i = 0; layout[i] != '\0'; ++i) {
        const wchar_t c = text[i];
        if (layout[i] != '.') {
            if (c != static_cast<wchar_t>(layout[i]))
                return CO_E_CLASSSTRING;
            continue;
        }
        const int value = c < 0x80 ? compat::hexDigitValue(static_cast<char>(c)) : -1;
        if (value < 0)
            return CO_E_CLASSSTRING;
        bytes[digits / 2] = static_cast<std::uint8_t>(bytes[digits / 2] << 4 | value);
        ++digits;
    }
    CLSID id{};
    id.Data1 = static_cast<DWORD>(bytes[0]) << 24 | static_cast<DWORD>(bytes[1]) << 16 |
               static_cast<DWORD>(bytes[2]) << 8 | bytes[3];
    id.Data2 = static_cast<WORD>(bytes[4] << 8 | bytes[5]);
    id.Data3 = static_cast<WORD>(bytes[6] << 8 | bytes[7]);
    std::memcpy(id.Data4, bytes + 8, 8);
    *classId = id;
    return S_OK;
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
