// Fuzzes the import of an RS-274X file's own aperture definitions. Checks
// that only entries D10 … D500 of the table are written, never a label, and
// that every size written is a finite, non-negative number.

#include "aperture/GerberImport.h"
#include "settings/NumberText.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const mutaplot::GerberImport import = mutaplot::ReadGerberApertures(bytes);
    mutaplot::ApertureTable table;
    table.entries.assign(mutaplot::kApertureCount, mutaplot::ApertureEntry{"D", "x", "x", "x", "x"});
    mutaplot::ApplyGerberImport(import, table);
    if (table.entries.size() != mutaplot::kApertureCount) std::abort();
    for (const auto& e : table.entries) {
        if (e.label != "D") std::abort();
        if (e.sizeX == "x") continue;
        for (const std::string* size : {&e.sizeX, &e.sizeY}) {
            const auto v = mutaplot::ParseDecimal(*size);
            if (!v || !std::isfinite(*v) || *v < 0) std::abort();
        }
    }
    (void)mutaplot::GerberImportReport(import, 0);
    return 0;
}
