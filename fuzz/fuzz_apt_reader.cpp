// Fuzzes the .apt record reader and the table check.

#include "aperture/AptFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    mutaplot::ApertureTable table;
    mutaplot::AppendAptRecords(bytes, table.entries);
    // Every record holds at least four separators, so there are never more
    // records than bytes / 4 + 1.
    if (table.entries.size() > size / 4 + 1) std::abort();
    (void)mutaplot::CheckApertureTable(table);
    for (int row = 0; row <= mutaplot::ApertureGridRowCount(table); ++row)
        (void)mutaplot::ApertureCellText(table, row, row % 6);
    return 0;
}
