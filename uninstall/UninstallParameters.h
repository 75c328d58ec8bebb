// The Windows Installer command line that removes the whole product.
#pragma once

#include <string>

// "/I {code} REMOVE_ONLY=1 REMOVE="ALL"": 68 characters for a product code in registry form.
std::wstring UninstallParameters(const std::wstring& productCode);
