#include "uninstall/RelatedProducts.h"

int PreferredProduct(const std::vector<RelatedProduct>& products)
{
    int chosen = -1;
    for (size_t index = 0; index < products.size(); index++)
    {
        const RelatedProduct& product = products[index];
        if (!product.installed)
            continue;
        if (product.perMachine)
            return static_cast<int>(index);
        if (chosen < 0)
            chosen = static_cast<int>(index);
    }
    return chosen;
}
