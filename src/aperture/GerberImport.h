#pragma once
// Import of an RS-274X file's own aperture definitions (%ADD) into the
// aperture list. Each definition of D10 … D500 becomes the entry of its D
// code, in the file's own unit (so the list draws that file true to size):
//   C (circle)  → ○ of its diameter
//   R (rectangle) → □ of its sides
//   O (obround) → □ of its box                       (approximation)
//   P (polygon) → ○ of its outer diameter            (approximation)
//   a macro     → □ centred on the flash point that holds every dark
//                 primitive, evaluated with the definition's parameters
//                 (approximation: a coarse but safe bound, see MacroExtent)
// Holes are dropped (approximation). Every approximation is reported once
// with the D codes it concerns; entries the file does not define, and the
// labels of all entries, stay as they were.

#include "aperture/ApertureTable.h"
#include "gerber/ParameterBlock.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mutaplot {

// The format text of the import dialog's list and of `import --format`.
inline constexpr const char* kRs274xFormat = "RS-274X（%ADD）";
// Accepted on the command line for the same reader.
inline constexpr const char* kRs274xFormatShort = "RS-274X";
inline constexpr const char* kRs274xFileFilter =
    "GBRﾌｧｲﾙ(*.gbr,*.g**)|*.gbr;*.g**|photoﾌｧｲﾙ(*.photo.*)|*.photo.*|すべてのﾌｧｲﾙ(*.*)|*.*";

inline constexpr const char* kNoApertureDefinitionsMessage =
    "このファイルにはアパーチャ定義（%ADD）がありません。何も取り込みませんでした。";

// What an entry stands for, beyond the exact circle and rectangle.
enum class GerberApproximation : std::uint8_t {
    ObroundAsBox,      // O → □ of its box
    PolygonAsCircle,   // P → ○ of its outer diameter
    MacroAsBox,        // macro → □ of its extent
    HoleDropped,       // a hole of C, R, O or P is not drawn
    // Definitions that write nothing:
    OutOfRange,        // D code outside D10 … D500
    UnknownMacro,      // a macro the file has not defined (before it)
    Unreadable,        // sizes missing, not finite or negative
    Count
};

struct GerberImportEntry {
    int dCode = 0;
    double sizeX = 0, sizeY = 0;
    const char* shape = kShapeRound;
};

struct GerberImport {
    std::vector<GerberImportEntry> entries;  // in file order; a later one wins
    // The D codes of each approximation, in file order, each once.
    std::map<GerberApproximation, std::vector<int>> notes;
    std::size_t definitions = 0;  // %ADD blocks met
    bool inch = false;            // the file says %MOIN (sizes are inches)
};

// The half width and half height of a centred box that holds every dark
// primitive of the macro with these parameters ($1 = modifiers[0] …),
// variables assigned in order. Each primitive is bounded by its own
// rotated corners or circle (moiré by its larger of outer circle and cross
// hair, thermal by its outer circle); clear primitives are not subtracted,
// and the box is made symmetric about the flash point because a list entry
// is centred there. None when no dark primitive has a size.
struct HalfExtent {
    double x = 0, y = 0;
};
std::optional<HalfExtent> MacroExtent(const gerber::ApertureMacro& macro,
                                      const std::vector<double>& modifiers);

// Reads the parameter blocks of a file's bytes (lines cut at CR and LF and
// joined again as the converter joins them) and plans the entries.
GerberImport ReadGerberApertures(std::string_view bytes);

// Writes the planned entries into the table (sizeX, sizeY, connectWidth
// "0", shape); returns how many were written.
std::size_t ApplyGerberImport(const GerberImport& import, ApertureTable& table);

// The report of an import: how many entries were written, the unit note for
// inch files, each approximation with its D codes. Empty when there is
// nothing to say beyond the count (a millimetre file read exactly).
std::string GerberImportReport(const GerberImport& import, std::size_t written);

enum class GerberImportOutcome { Imported, CannotOpen, NoDefinitions };

// The dialog's and the command line's import: reads the file, writes the
// table, shows the report (or the failure) through `dialogs`.
GerberImportOutcome ImportGerberApertures(const std::filesystem::path& path, ApertureTable& table,
                                          Dialogs& dialogs, Pointer& pointer);

}  // namespace mutaplot
