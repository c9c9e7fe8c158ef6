#include "compat/ole/dxdiag.h"

#include <cwchar>

namespace {

struct Answer {
    bool available = true;
    DWORD major = 9;
    DWORD minor = 0;
    wchar_t letter = L'c';
};

Answer& answer()
{
    static Answer current;
    return current;
}

// Shared reference counting of the stand-in's objects.
template <class Interface> class Counted : public Interface {
public:
    ULONG AddRef() override { return ++references; }
    ULONG Release() override
    {
        const ULONG remaining = --references;
        if (remaining == 0)
            delete this;
        return remaining;
    }

protected:
    virtual ~Counted() = default;
    HRESULT answerQuery(REFIID riid, const IID& own, void** object)
    {
        if (object == nullptr)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == own) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

private:
    ULONG references = 1;
};

// The root holds one child, "DxDiag_SystemInfo", which holds the DirectX version properties.
class Container final : public Counted<IDxDiagContainer> {
public:
    explicit Container(bool systemInfo) : systemInfo(systemInfo) {}

    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return answerQuery(riid, IID_IDxDiagContainer, object);
    }

    HRESULT GetChildContainer(LPCWSTR name, IDxDiagContainer** child) override
    {
        if (name == nullptr || child == nullptr)
            return E_INVALIDARG;
        *child = nullptr;
        if (systemInfo || std::wcscmp(name, L"DxDiag_SystemInfo") != 0)
            return E_INVALIDARG;
        *child = new Container(true);
        return S_OK;
    }

    HRESULT GetProp(LPCWSTR name, VARIANT* value) override
    {
        if (name == nullptr || value == nullptr)
            return E_INVALIDARG;
        VariantInit(value);
        if (!systemInfo)
            return E_INVALIDARG;
        const bool major = std::wcscmp(name, L"dwDirectXVersionMajor") == 0;
        if (major || std::wcscmp(name, L"dwDirectXVersionMinor") == 0) {
            value->vt = VT_UI4;
            value->ulVal = major ? answer().major : answer().minor;
            return S_OK;
        }
        if (std::wcscmp(name, L"szDirectXVersionLetter") == 0) {
            const wchar_t letter[2] = {answer().letter, 0};
            value->vt = VT_BSTR;
            value->bstrVal = SysAllocString(letter);
            return value->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
        }
        return E_INVALIDARG;
    }

private:
    bool systemInfo;
};

class Provider final : public Counted<IDxDiagProvider> {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override
    {
        return answerQuery(riid, IID_IDxDiagProvider, object);
    }

    HRESULT Initialize(DXDIAG_INIT_PARAMS* params) override
    {
        if (params == nullptr)
            return E_POINTER;
        if (initialized)
            return CO_E_ALREADYINITIALIZED;
        initialized = true;
        return S_OK;
    }

    HRESULT GetRootContainer(IDxDiagContainer** root) override
    {
        if (root == nullptr)
            return E_POINTER;
        *root = nullptr;
        if (!initialized)
            return CO_E_NOTINITIALIZED;
        *root = new Container(false);
        return S_OK;
    }

private:
    static constexpr HRESULT CO_E_ALREADYINITIALIZED = static_cast<HRESULT>(0x800401F1u);
    bool initialized = false;
};

} // namespace

HRESULT compat::ole::createDxDiagProvider(REFIID riid, void** object)
{
    if (!answer().available)
        return REGDB_E_CLASSNOTREG;
    Provider* provider = new Provider();
    const HRESULT result = provider->QueryInterface(riid, object);
    provider->Release();
    return result;
}

void compat::testing::setDxDiagAnswer(bool available, DWORD major, DWORD minor, wchar_t letter)
{
    answer() = {available, major, minor, letter};
}
