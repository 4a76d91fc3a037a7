#pragma once

// SEP's C interface, which declares neither C linkage nor the size_t it uses.
#include <cstddef>

extern "C" {
#include <sep.h>
}

#include <memory>

struct SepBackgroundFree {
    void operator()(sep_bkg* background) const { sep_bkg_free(background); }
};
struct SepCatalogFree {
    void operator()(sep_catalog* catalog) const { sep_catalog_free(catalog); }
};
using SepBackground = std::unique_ptr<sep_bkg, SepBackgroundFree>;
using SepCatalog = std::unique_ptr<sep_catalog, SepCatalogFree>;
