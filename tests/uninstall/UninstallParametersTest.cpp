#include "uninstall/RelatedProducts.h"
#include "uninstall/UninstallParameters.h"

#include <gtest/gtest.h>

TEST(UninstallParameters, RemoveEveryFeatureOfTheProduct)
{
    const std::wstring parameters = UninstallParameters(L"{3B1D6E42-7C95-4A08-B6F1-2E9A0C47D51B}");
    EXPECT_EQ(parameters, L"/I {3B1D6E42-7C95-4A08-B6F1-2E9A0C47D51B} REMOVE_ONLY=1 REMOVE=\"ALL\"");
    EXPECT_EQ(parameters.size(), 68u);
}

// The Installer lists related products in no promised order, and may list one
// that is only advertised, or installed for one user, beside the real one.
TEST(RelatedProducts, ThePreferredOneIsInstalledAndPerMachine)
{
    struct Case
    {
        const char* what;
        std::vector<RelatedProduct> products;
        int chosen;
    };
    const Case cases[] = {
        {"none listed", {}, -1},
        {"only advertised", {{L"{A}", false, true}}, -1},
        {"advertised per machine listed first", {{L"{A}", false, true}, {L"{B}", true, true}}, 1},
        {"one user's listed first", {{L"{A}", true, false}, {L"{B}", true, true}}, 1},
        {"only one user's", {{L"{A}", false, false}, {L"{B}", true, false}}, 1},
        {"per machine first", {{L"{A}", true, true}, {L"{B}", true, false}}, 0},
    };
    for (const Case& test : cases)
        EXPECT_EQ(PreferredProduct(test.products), test.chosen) << test.what;
}
