#include "uninstall/InstalledProduct.h"

#include "uninstall/RelatedProducts.h"

#include "ProductIdentity.h"

#include <vector>

namespace
{
// A product code in registry form and its terminating zero.
const DWORD kProductCodeChars = 39;
const wchar_t kInstalledState[] = L"5";

// The product's context among those it is installed in, machine first.
MSIINSTALLCONTEXT InstalledContext(const std::wstring& code)
{
    for (MSIINSTALLCONTEXT context :
         {MSIINSTALLCONTEXT_MACHINE, MSIINSTALLCONTEXT_USERUNMANAGED, MSIINSTALLCONTEXT_USERMANAGED})
    {
        wchar_t state[8] = {};
        DWORD length = 8;
        if (MsiGetProductInfoExW(code.c_str(), nullptr, context, INSTALLPROPERTY_PRODUCTSTATE, state, &length) ==
                ERROR_SUCCESS &&
            wcscmp(state, kInstalledState) == 0)
            return context;
    }
    return MSIINSTALLCONTEXT_NONE;
}
}

InstalledProductInfo InstalledProduct()
{
    std::vector<RelatedProduct> products;
    std::vector<MSIINSTALLCONTEXT> contexts;
    wchar_t code[kProductCodeChars] = {};
    for (DWORD index = 0; MsiEnumRelatedProductsW(kUpgradeCode, 0, index, code) == ERROR_SUCCESS; index++)
    {
        const MSIINSTALLCONTEXT context = InstalledContext(code);
        products.push_back({code, context != MSIINSTALLCONTEXT_NONE, context == MSIINSTALLCONTEXT_MACHINE});
        contexts.push_back(context);
    }
    const int chosen = PreferredProduct(products);
    if (chosen < 0)
        return {};
    return {products[chosen].code, contexts[chosen]};
}

bool InstalledLocation(const InstalledProductInfo& product, std::wstring& location)
{
    if (product.code.empty())
        return false;
    std::vector<wchar_t> buffer(MAX_PATH, L'\0');
    DWORD length = static_cast<DWORD>(buffer.size());
    UINT status = MsiGetProductInfoExW(product.code.c_str(), nullptr, product.context,
                                       INSTALLPROPERTY_INSTALLLOCATION, buffer.data(), &length);
    // A folder deeper than MAX_PATH is still this product's folder: read it whole.
    if (status == ERROR_MORE_DATA)
    {
        buffer.assign(length + 1, L'\0');
        length = static_cast<DWORD>(buffer.size());
        status = MsiGetProductInfoExW(product.code.c_str(), nullptr, product.context,
                                      INSTALLPROPERTY_INSTALLLOCATION, buffer.data(), &length);
    }
    if (status != ERROR_SUCCESS)
        return false;
    location.assign(buffer.data(), length);
    return true;
}

void LoadLibrariesFromSystemOnly()
{
    // Looked up: a Windows 7 without its update lacks the call, and then keeps its own order.
    using SetDefaultDllDirectoriesCall = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesCall>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault)
        setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // The current folder is never searched for a DLL, whatever the call above could do.
    SetDllDirectoryW(L"");
}
