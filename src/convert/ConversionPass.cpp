#include "convert/ConversionPass.h"

#include <new>

namespace mutaplot {

namespace {

constexpr std::string_view kG01 = "G01";
constexpr std::string_view kG02 = "G02";
constexpr std::string_view kG03 = "G03";

bool Contains(std::string_view text, char c) noexcept {
    return text.find(c) != std::string_view::npos;
}

// One conversion pass: the shared records it works on and two reusable
// buffers, so that no block needs a heap allocation of its own.
class Pass {
public:
    Pass(const InputBlockList& input, ConversionSettings& settings, ConverterState& state,
         std::string& currentGCode, OutputBlockList& output)
        : input_(input), settings_(settings), state_(state), gcode_(currentGCode),
          output_(output) {}

    void Run() {
        const std::size_t count = input_.blockCount();
        std::size_t next = 0;
        while (next < count) {
            const std::size_t first = next;
            std::string_view block = input_[next++];
            // A lone "G01" changes nothing: the next block is classified
            // instead. A lone "G02"/"G03" takes the next block as its arc.
            // As the last block, either ends the pass.
            std::string_view arcCode;
            while (arcCode.empty()) {
                if (block == kG01) {
                    if (next >= count) return;
                    block = input_[next++];
                } else if (block == kG02 || block == kG03) {
                    if (next >= count) return;
                    arcCode = block;
                    block = input_[next++];
                } else {
                    break;
                }
            }
            const bool converted =
                arcCode.empty() ? Classify(block) : ArcBlock(block, arcCode, true);
            if (!converted) HandOnUnchanged(first, next);
        }
    }

private:
    // Returns false for a coordinate block that cannot be decoded.
    bool Classify(std::string_view block) {
        if (block == "D01" || block == "D02") {
            state_.currentDCode = block;
            return true;
        }
        const char first = block.empty() ? '\0' : block.front();
        if (first == 'X' || first == 'Y') return LinearBlock(block, true);
        if (first == '*') {
            RecognizeFormatStatement(block, settings_);
            return true;
        }
        const std::string_view head = block.substr(0, 3);
        if (head == kG03 || head == kG02) return ArcBlock(block, head, true);
        if (head == kG01) return LinearBlock(block, false);
        if (first == '%') return true;  // RS-274X parameter blocks are dropped
        PassThrough(block);
        return true;
    }

    // The block with the current D code appended when it has no "D".
    std::string_view WithDCode(std::string_view block) {
        work_.assign(block);
        if (!Contains(block, 'D')) work_ += state_.currentDCode;
        return work_;
    }

    bool LinearBlock(std::string_view block, bool startsWithXY) {
        const std::string_view text = WithDCode(block);
        if (startsWithXY && (Contains(text, 'I') || Contains(text, 'J'))) {
            // An X/Y block with centre offsets continues the arc in force;
            // with G00 or G01 in force it has no meaning.
            if (gcode_ == kG02 || gcode_ == kG03) return ArcBlock(text, gcode_, false);
            return false;
        }
        const auto words = ExtractLinearWords(text);
        if (!words) return false;
        if (!words->hasX && !words->hasY) {
            // A G01 block without coordinates only sets the D code.
            state_.currentDCode = words->dPart;
            return true;
        }
        const auto x = ConvertCoordinate(words->hasX ? words->x : state_.xDigits, Axis::X, settings_);
        const auto y = ConvertCoordinate(words->hasY ? words->y : state_.yDigits, Axis::Y, settings_);
        if (!x || !y) return false;
        if (words->hasX) state_.xDigits = words->x;
        if (words->hasY) state_.yDigits = words->y;
        state_.currentDCode = words->dPart;
        out_.clear();
        if (settings_.modal == 1 || (settings_.modal == 2 && gcode_ != kG01)) out_ += kG01;
        FormatLinearXY(*x, *y, settings_, state_, out_);
        out_ += words->dPart;
        gcode_ = kG01;
        Store();
        return true;
    }

    // `code` is "G02" or "G03"; it may view `gcode_` itself, so it is copied
    // before gcode_ changes.
    bool ArcBlock(std::string_view block, std::string_view code, bool appendDCode) {
        const std::string_view text = appendDCode ? WithDCode(block) : block;
        const auto words = ExtractArcWords(text);
        if (!words) return false;
        const auto x = ConvertCoordinate(words->hasX ? words->x : state_.xDigits, Axis::X, settings_);
        const auto y = ConvertCoordinate(words->hasY ? words->y : state_.yDigits, Axis::Y, settings_);
        std::optional<ConvertedOffset> i, j;
        if (words->hasI && !(i = ConvertOffset(words->i, settings_))) return false;
        if (words->hasJ && !(j = ConvertOffset(words->j, settings_))) return false;
        if (!x || !y) return false;
        const char codeDigit = code[2];
        if (words->hasX) state_.xDigits = words->x;
        if (words->hasY) state_.yDigits = words->y;
        state_.currentDCode = words->dPart;
        out_.clear();
        if (settings_.modal == 1 || (settings_.modal == 2 && gcode_ != code)) out_ += code;
        FormatArcXY(*x, *y, settings_, state_, out_);
        FormatArcIJ(i, j, settings_, state_, out_);
        out_ += words->dPart;
        gcode_ = "G0";
        gcode_ += codeDigit;
        Store();
        return true;
    }

    void PassThrough(std::string_view block) {
        if (settings_.outputHeader == 1 && output_[1].empty()) WriteFormatHeader(settings_, output_);
        out_.assign(block);
        Store();
    }

    // A coordinate block that cannot be decoded goes to the output as it
    // was, together with the lone G codes joined to it; the state stays.
    void HandOnUnchanged(std::size_t first, std::size_t next) {
        if (state_.unconvertedCount++ == 0) state_.firstUnconverted = next;
        for (std::size_t k = first; k < next; ++k) PassThrough(input_[k]);
    }

    void Store() {
        if (settings_.outputEob == 1) out_.push_back('*');
        output_.Append(out_);
    }

    const InputBlockList& input_;
    ConversionSettings& settings_;
    ConverterState& state_;
    std::string& gcode_;
    OutputBlockList& output_;
    std::string work_;
    std::string out_;
};

}  // namespace

std::string UnconvertedBlocksMessage(std::size_t count, std::size_t firstNumber) {
    return "座標を変換できないブロックが" + std::to_string(count) + "個あります（最初は" +
           std::to_string(firstNumber) + "番目のブロックです）。これらのブロックは変換せずにそのまま出力しました。";
}

void ConvertBlocks(const InputBlockList& input, ConversionSettings& settings,
                   ConverterState& state, std::string& currentGCode, OutputBlockList& output) {
    ResetConverterState(state);
    currentGCode = "G00";
    output.Clear();
    // Room for every block, the header and the additions of each block
    // (G code, "*", zero padding).
    output.Reserve(input.blockCount() + 3, input.textSize() + input.blockCount() * 8 + 64);
    Pass(input, settings, state, currentGCode, output).Run();
}

ConvertOutcome RunConversion(const InputBlockList& input, ConversionSettings& settings,
                             ConverterState& state, std::string& currentGCode,
                             OutputBlockList& output, Dialogs& dialogs, Pointer& pointer,
                             ConvertStatus* status) {
    output.Clear();
    if (status) status->ShowConverting();
    pointer.ProcessPendingEvents();
    ResetConverterState(state);
    currentGCode = "G00";
    BusyPointer busy(pointer);
    if (input.empty()) {
        ShowCheckMessage(dialogs, kNoSourceMessage);
        if (status) status->ClearOutputStatus();
        return ConvertOutcome::NoInput;
    }
    try {
        ConvertBlocks(input, settings, state, currentGCode, output);
    } catch (const std::bad_alloc&) {
        output.Clear();
        output.ShrinkToFit();
        ShowCheckMessage(dialogs, kConvertMemoryMessage);
        if (status) status->ClearOutputStatus();
        return ConvertOutcome::Failed;
    }
    if (status) {
        status->ShowOutputBlocks(output);
        status->ShowConvertedTitle();
    }
    if (state.overflowX) ShowCheckMessage(dialogs, kOverflowXMessage);
    if (state.overflowY) ShowCheckMessage(dialogs, kOverflowYMessage);
    if (state.unconvertedCount > 0)
        ShowCheckMessage(dialogs,
                         UnconvertedBlocksMessage(state.unconvertedCount, state.firstUnconverted));
    return ConvertOutcome::Converted;
}

}  // namespace mutaplot
