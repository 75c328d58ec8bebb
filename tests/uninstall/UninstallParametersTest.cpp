#include "uninstall/UninstallParameters.h"

#include <gtest/gtest.h>

TEST(UninstallParameters, RemoveEveryFeatureOfTheProduct)
{
    const std::wstring parameters = UninstallParameters(L"{3B1D6E42-7C95-4A08-B6F1-2E9A0C47D51B}");
    EXPECT_EQ(parameters, L"/I {3B1D6E42-7C95-4A08-B6F1-2E9A0C47D51B} REMOVE_ONLY=1 REMOVE=\"ALL\"");
    EXPECT_EQ(parameters.size(), 68u);
}
