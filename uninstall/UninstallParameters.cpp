#include "uninstall/UninstallParameters.h"

std::wstring UninstallParameters(const std::wstring& productCode)
{
    return L"/I " + productCode + L" REMOVE_ONLY=1 REMOVE=\"ALL\"";
}
