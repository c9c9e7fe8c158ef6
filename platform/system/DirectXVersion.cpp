#include "platform/system/DirectXVersion.h"

#include "compat/ole/dxdiag.h"
#include "compat/win32/system/machine/version.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace {

// Reads one property of the system-information container; false unless it has the given type.
bool readProperty(IDxDiagContainer* container, LPCWSTR name, VARTYPE type, VARIANT* value)
{
    VariantInit(value);
    if (FAILED(container->GetProp(name, value)))
        return false;
    if (value->vt != type || (type == VT_BSTR && value->bstrVal == nullptr)) {
        VariantClear(value);
        return false;
    }
    return true;
}

// The letter as the ANSI code page has it; characters beyond ASCII have no single-byte form here.
char toAnsi(wchar_t c) { return c >= 0 && c < 0x80 ? static_cast<char>(c) : '?'; }

// 1 to 26 for "a" to "z" in either case, else 0.
DWORD letterIndex(char letter)
{
    const int lower = std::tolower(static_cast<unsigned char>(letter));
    return lower >= 'a' && lower <= 'z' ? static_cast<DWORD>(lower - 'a' + 1) : 0;
}

struct ProbeRow {
    const char* file;
    std::uint64_t minimum;     // applies to every file, or to major version 4 when `minimum5` is set
    std::uint64_t minimum5;    // applies to major version 5; 0 when the row has one variant
    DWORD major, minor;
    char letter;
    bool anyVersion;
};

const ProbeRow probeRows[] = {
    {"ddraw.dll", makeVersion64(4, 2, 0, 95), 0, 1, 0, ' ', false},
    {"ddraw.dll", makeVersion64(4, 3, 0, 1096), 0, 2, 0, ' ', false},
    {"ddraw.dll", makeVersion64(4, 4, 0, 68), 0, 3, 0, ' ', false},
    {"d3drg8x.dll", makeVersion64(4, 4, 0, 70), 0, 3, 0, 'a', false},
    {"ddraw.dll", makeVersion64(4, 5, 0, 155), 0, 5, 0, ' ', false},
    {"ddraw.dll", makeVersion64(4, 6, 0, 318), 0, 6, 0, ' ', false},
    {"ddraw.dll", makeVersion64(4, 6, 0, 436), 0, 6, 1, ' ', false},
    {"dplayx.dll", makeVersion64(4, 6, 3, 518), 0, 6, 1, 'a', false},
    {"ddraw.dll", makeVersion64(4, 7, 0, 700), 0, 7, 0, ' ', false},
    {"dinput.dll", makeVersion64(4, 7, 0, 716), 0, 7, 0, 'a', false},
    {"ddraw.dll", makeVersion64(4, 8, 0, 400), makeVersion64(5, 1, 2258, 400), 8, 0, ' ', false},
    {"d3d8.dll", makeVersion64(4, 8, 1, 881), makeVersion64(5, 1, 2600, 881), 8, 1, ' ', false},
    {"d3d8.dll", makeVersion64(4, 8, 1, 901), makeVersion64(5, 1, 2600, 901), 8, 1, 'a', false},
    {"mpg2splt.ax", makeVersion64(6, 3, 1, 885), 0, 8, 1, 'b', false},
    {"dpnet.dll", makeVersion64(4, 9, 0, 134), makeVersion64(5, 2, 3677, 134), 8, 2, ' ', false},
    {"d3d9.dll", 0, 0, 9, 0, ' ', true},
};

bool rowMatches(const ProbeRow& row, std::uint64_t version)
{
    if (row.anyVersion)
        return true;
    if (row.minimum5 == 0)
        return compareVersion64(version, row.minimum) >= 0;
    const std::uint64_t fileMajor = version >> 48;
    if (fileMajor == 4)
        return compareVersion64(version, row.minimum) >= 0;
    if (fileMajor == 5)
        return compareVersion64(version, row.minimum5) >= 0;
    return false;
}

} // namespace

std::uint64_t makeVersion64(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    return static_cast<std::uint64_t>(a & 0xFFFF) << 48 | static_cast<std::uint64_t>(b & 0xFFFF) << 32
        | static_cast<std::uint64_t>(c & 0xFFFF) << 16 | (d & 0xFFFF);
}

int compareVersion64(std::uint64_t x, std::uint64_t y) { return x > y ? 1 : (x < y ? -1 : 0); }

HRESULT getFileVersion(const char* path, std::uint64_t* version)
{
    if (path == nullptr || version == nullptr)
        return E_INVALIDARG;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0)
        return E_FAIL;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
    if (!block)
        return E_OUTOFMEMORY;
    LPVOID fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path, handle, size, block.get()) || !VerQueryValueA(block.get(), "\\", &fixed, &length)
        || length < sizeof(VS_FIXEDFILEINFO))
        return E_FAIL;
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    *version = static_cast<std::uint64_t>(info->dwFileVersionMS) << 32 | info->dwFileVersionLS;
    return S_OK;
}

HRESULT queryDxDiag(DWORD* major, DWORD* minor, char* letter)
{
    const bool initialized = SUCCEEDED(CoInitialize(nullptr));
    bool gotMajor = false, gotMinor = false, gotLetter = false;
    IDxDiagProvider* provider = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_DxDiagProvider, nullptr, CLSCTX_INPROC_SERVER, IID_IDxDiagProvider,
                                   reinterpret_cast<LPVOID*>(&provider)))) {
        DXDIAG_INIT_PARAMS params = {16, DXDIAG_DX9_SDK_VERSION, FALSE, nullptr};
        IDxDiagContainer* root = nullptr;
        if (SUCCEEDED(provider->Initialize(&params)) && SUCCEEDED(provider->GetRootContainer(&root))) {
            IDxDiagContainer* system = nullptr;
            if (SUCCEEDED(root->GetChildContainer(L"DxDiag_SystemInfo", &system))) {
                VARIANT value;
                if ((gotMajor = readProperty(system, L"dwDirectXVersionMajor", VT_UI4, &value)))
                    *major = value.ulVal;
                VariantClear(&value);
                if ((gotMinor = readProperty(system, L"dwDirectXVersionMinor", VT_UI4, &value)))
                    *minor = value.ulVal;
                VariantClear(&value);
                if ((gotLetter = readProperty(system, L"szDirectXVersionLetter", VT_BSTR, &value)))
                    *letter = toAnsi(value.bstrVal[0]);
                VariantClear(&value);
                system->Release();
            }
            root->Release();
        }
        provider->Release();
    }
    if (initialized)
        CoUninitialize();
    return gotMajor && gotMinor && gotLetter ? S_OK : E_FAIL;
}

HRESULT probeFiles(DWORD* major, DWORD* minor, char* letter)
{
    *major = 0;
    *minor = 0;
    *letter = ' ';
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return S_OK;
    for (const ProbeRow& row : probeRows) {
        const std::string path = std::string(directory) + "\\" + row.file;
        std::uint64_t version = 0;
        if (SUCCEEDED(getFileVersion(path.c_str(), &version)) && rowMatches(row, version)) {
            *major = row.major;
            *minor = row.minor;
            *letter = row.letter;
        }
    }
    return S_OK;
}

HRESULT getDirectXVersionInfo(DWORD* number, char* text, int capacity)
{
    if (number != nullptr)
        *number = 0;
    const bool wantText = text != nullptr && capacity > 0;
    if (wantText)
        text[0] = '\0';

    DWORD major = 0, minor = 0;
    char letter = 0;
    if (FAILED(queryDxDiag(&major, &minor, &letter))) {
        probeFiles(&major, &minor, &letter);
        if (major == 0 && minor == 0)
            return E_FAIL;
    }
    const DWORD index = letterIndex(letter);
    if (number != nullptr)
        *number = major << 16 | minor << 8 | index;
    if (wantText) {
        if (index != 0)
            std::snprintf(text, static_cast<std::size_t>(capacity), "%d.%d%c", static_cast<int>(major),
                          static_cast<int>(minor), static_cast<char>('a' + index - 1));
        else
            std::snprintf(text, static_cast<std::size_t>(capacity), "%d.%d", static_cast<int>(major),
                          static_cast<int>(minor));
    }
    return S_OK;
}

std::uint32_t getDirectXVersion()
{
    DWORD number = 0;
    if (FAILED(getDirectXVersionInfo(&number, nullptr, 0)))
        return 0;
    return number >> 8;
}
