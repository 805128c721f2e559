#pragma once
// The conversion pass (実行 → 入力データの変換): turns the input block list into
// the output block list, formatted by the output settings.

#include "convert/CoordinateWords.h"
#include "convert/FormatHeader.h"
#include "input/BlockList.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "settings/ConversionSettings.h"

#include <string>

namespace mutaplot {

// Status texts and messages of the pass.
inline constexpr const char* kConvertingText = "《データ変換中》しばらくお待ち下さい。";  // Text2
inline constexpr const char* kConvertedDataTitle = "変換データ";                     // Text2
inline constexpr const char* kNoSourceMessage = "変換元のファイルがありません";
inline constexpr const char* kOverflowXMessage = "Ｘの座標値がオーバーフローしています";
inline constexpr const char* kOverflowYMessage = "Ｙの座標値がオーバーフローしています";
inline constexpr const char* kConvertMemoryMessage =
    "メモリが不足しているため、変換できませんでした。";

// The message for blocks that could not be decoded and were handed on
// unchanged: how many, and the 1-based number of the first one.
std::string UnconvertedBlocksMessage(std::size_t count, std::size_t firstNumber);

// The message for blocks dropped with a parameter block although they may
// hold data (behind a closing "%" on the same line, or after a "%" that is
// never closed): how many, and the 1-based number of the first one.
std::string DroppedBlocksMessage(std::size_t count, std::size_t firstNumber);

// The main window's effects of a pass; the command line passes none.
class ConvertStatus {
public:
    virtual ~ConvertStatus() = default;
    // Text1 = kInputTitleText (the reader's), Text2 = kConvertingText (then
    // events run once).
    virtual void ShowConverting() = 0;
    // Text2 cleared (no input blocks).
    virtual void ClearOutputStatus() = 0;
    // Output grid MSFlexGrid2: row 0 title, row k + 1 = entry k of `output`.
    virtual void ShowOutputBlocks(const OutputBlockList& output) = 0;
    // Text2 = kConvertedDataTitle.
    virtual void ShowConvertedTitle() = 0;
};

// Converted: the output list and grid hold the result (warnings included).
// NoInput: nothing to convert. Failed: out of memory, the output list is empty.
enum class ConvertOutcome { Converted, NoInput, Failed };

// The pass over the blocks alone, without status, pointer or messages:
// resets `state`, `currentGCode` ("G00") and `output`, then converts every
// block of `input`. A format statement met in the input changes the input
// format, zero mode and unit of `settings` (the user's own settings).
void ConvertBlocks(const InputBlockList& input, ConversionSettings& settings,
                   ConverterState& state, std::string& currentGCode, OutputBlockList& output);

// The whole command: status texts, busy pointer, the pass, the output grid,
// and at the end the overflow messages and the reports of blocks that could
// not be converted and of blocks dropped with a parameter block. With no input blocks it shows kNoSourceMessage, leaves
// `output` empty and returns NoInput (the grid is not touched).
// `currentGCode` is the G code variable shared with the viewer.
ConvertOutcome RunConversion(const InputBlockList& input, ConversionSettings& settings,
                             ConverterState& state, std::string& currentGCode,
                             OutputBlockList& output, Dialogs& dialogs, Pointer& pointer,
                             ConvertStatus* status);

}  // namespace mutaplot
