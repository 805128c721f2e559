// Fuzzes the colmo report reader and parser. The first byte picks the kind.

#include "aperture/ColmoImport.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static constexpr const char* kPaths[] = {"a.pattern", "a.silk", "a.resist", "a.power",
                                             "a.holemark", "a.PATTERN"};
    const char* path = kPaths[data[0] % 6];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    mutaplot::ImportLineList lines;
    mutaplot::SplitImportLines(bytes, lines);
    mutaplot::ApertureTable table;
    const std::size_t count = (data[0] / 6) % 2 ? 3 : mutaplot::kApertureCount;
    table.entries.assign(count, mutaplot::ApertureEntry{"D", "x", "x", "x", "x"});
    const auto result = mutaplot::ParseColmoList(path, lines, table);
    if (table.entries.size() != count) std::abort();
    if (result.outcome == mutaplot::ColmoParseResult::Outcome::LayoutError &&
        result.failedLine > lines.size())
        std::abort();
    for (const auto& e : table.entries)
        if (e.label != "D") std::abort();  // the import never touches labels
    return 0;
}
