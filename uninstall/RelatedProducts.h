// Which of the products the Installer lists under Velmora's upgrade code is the
// installed one. The Installer promises no order, and may list a product that is
// only advertised or installed for one user beside the per-machine one.
#pragma once

#include <string>
#include <vector>

struct RelatedProduct
{
    std::wstring code;
    bool installed = false;
    bool perMachine = false;
};

// The index of the installed per-machine product, else of an installed one of
// any kind, else -1 when none is installed.
int PreferredProduct(const std::vector<RelatedProduct>& products);
