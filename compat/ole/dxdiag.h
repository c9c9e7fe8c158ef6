// The DxDiag provider: a tree of containers whose properties describe the machine. The stand-in
// answers the DirectX release the game was written against (9.0c), or what a test sets.
#pragma once

#include "compat/ole/ole.h"

struct DXDIAG_INIT_PARAMS {
    DWORD dwSize;
    DWORD dwDxDiagHeaderVersion;
    BOOL bAllowWHQLChecks;
    LPVOID pReserved;
};
constexpr DWORD DXDIAG_DX9_SDK_VERSION = 111;

struct IDxDiagContainer : IUnknown {
    virtual HRESULT GetChildContainer(LPCWSTR name, IDxDiagContainer** child) = 0;
    virtual HRESULT GetProp(LPCWSTR name, VARIANT* value) = 0;

protected:
    ~IDxDiagContainer() = default;
};

struct IDxDiagProvider : IUnknown {
    virtual HRESULT Initialize(DXDIAG_INIT_PARAMS* params) = 0;
    virtual HRESULT GetRootContainer(IDxDiagContainer** root) = 0;

protected:
    ~IDxDiagProvider() = default;
};

inline constexpr CLSID CLSID_DxDiagProvider = {0xA65B8071, 0x3BFE, 0x4213, {0x9A, 0x5B, 0x49, 0x1D, 0xA4, 0x46, 0x1C, 0xA7}};
inline constexpr IID IID_IDxDiagProvider = {0x9C6B4CB0, 0x23F8, 0x49CC, {0xA3, 0xED, 0x45, 0xA5, 0x50, 0x00, 0xA6, 0xD2}};
inline constexpr IID IID_IDxDiagContainer = {0x7D0F462F, 0x4064, 0x4862, {0xBC, 0x7F, 0x93, 0x3E, 0x50, 0x58, 0xC1, 0x0F}};

namespace compat::ole {

HRESULT createDxDiagProvider(REFIID riid, void** object);

} // namespace compat::ole

namespace compat::testing {

// What the provider reports from now on; unavailable makes the class unknown to CoCreateInstance.
// letter 0 reports an empty letter.
void setDxDiagAnswer(bool available, DWORD major, DWORD minor, wchar_t letter);

} // namespace compat::testing
