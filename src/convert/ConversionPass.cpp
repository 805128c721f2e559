#include "convert/ConversionPass.h"

#include "convert/ParameterOutput.h"
#include "gerber/FormatStatement.h"
#include "gerber/ParameterStream.h"
#include "input/ParameterBlocks.h"

#include <cstring>
#include <new>

namespace mutaplot {

namespace {

constexpr std::string_view kG01 = "G01";
constexpr std::string_view kG02 = "G02";
constexpr std::string_view kG03 = "G03";
constexpr std::string_view kG04 = "G04";
constexpr std::string_view kG70 = "G70";
constexpr std::string_view kG71 = "G71";

// The unit code of the output unit: G70 inch, G71 mm; none when not set.
std::string_view UnitCode(std::uint8_t outputUnit) noexcept {
    switch (CodeAs<Unit>(outputUnit)) {
        case Unit::Millimetre: return kG71;
        case Unit::Inch: return kG70;
        default: return {};
    }
}

// Whether a block written with G code `code` begins with it, after a block
// written with `previous`.
bool WritesGCode(const ConversionSettings& settings, std::string_view previous,
                 std::string_view code) noexcept {
    switch (CodeAs<GCodeRepeat>(settings.modal)) {
        case GCodeRepeat::EveryBlock: return true;
        case GCodeRepeat::OnChange: return previous != code;
        default: return false;
    }
}

// An X, Y, I or J directly followed by a digit, "+" or "-".
bool HasCoordinateWord(std::string_view block) noexcept {
    for (std::size_t k = 0; k + 1 < block.size(); ++k) {
        const char c = block[k];
        if (c != 'X' && c != 'Y' && c != 'I' && c != 'J') continue;
        const char n = block[k + 1];
        if ((n >= '0' && n <= '9') || n == '+' || n == '-') return true;
    }
    return false;
}


// The length of the G codes at the start of a block that change nothing
// about how its coordinates read (G36/G37 regions, G54/G55, G74/G75 arc
// quadrants, G90 absolute), when G01, G02 or G03 with coordinates follows
// them ("G75G03I150J0X3550Y1701D01"); 0 otherwise.
std::size_t LeadingModalCodes(std::string_view block) noexcept {
    std::size_t k = 0;
    while (k + 3 <= block.size() && block[k] == 'G') {
        const std::string_view code = block.substr(k, 3);
        if (code == kG01 || code == kG02 || code == kG03) break;
        if (code != "G36" && code != "G37" && code != "G54" && code != "G55" &&
            code != "G74" && code != "G75" && code != "G90")
            return 0;
        k += 3;
    }
    if (k == 0 || k + 3 > block.size()) return 0;
    const std::string_view next = block.substr(k, 3);
    if (next != kG01 && next != kG02 && next != kG03) return 0;
    return HasCoordinateWord(block.substr(k)) ? k : 0;
}

bool Contains(std::string_view text, char c) noexcept {
    return text.find(c) != std::string_view::npos;
}

// What is left of a block behind its parameter block holds data only when
// it has more than blanks, line ends and "*" (a CR LF file read in LF mode
// leaves "\r" behind every closing "%").
bool HoldsData(std::string_view rest) noexcept {
    return rest.find_first_not_of(" \t\r\n*") != std::string_view::npos;
}

// One conversion pass: the shared records it works on and two reusable
// buffers, so that no block needs a heap allocation of its own.
class Pass {
public:
    Pass(const InputBlockList& input, ConversionSettings& settings, ConverterState& state,
         std::string& currentGCode, OutputBlockList& output)
        : input_(input), settings_(settings), state_(state), gcode_(currentGCode),
          output_(output), parameters_(CodeAs<InputSeparator>(settings.inputSeparator)),
          params_(settings, output),
          hasPercent_(std::memchr(input.allText().data(), '%', input.textSize()) != nullptr) {}

    void Run() {
        std::size_t next = 0;
        std::string_view block;
        while (TakeData(next, block)) {
            // A lone "G01" changes nothing: the next block is classified
            // instead. A lone "G02"/"G03" takes the next block as its arc.
            // As the last block, either ends the pass. The lone codes are
            // remembered by their digit, to be handed on with the block
            // should it not convert.
            loneCodes_.clear();
            std::string_view arcCode;
            while (arcCode.empty()) {
                if (block == kG01) {
                    loneCodes_.push_back('1');
                } else if (block == kG02 || block == kG03) {
                    loneCodes_.push_back(block[2]);
                    arcCode = block == kG02 ? kG02 : kG03;
                } else {
                    break;
                }
                if (!TakeData(next, block)) {
                    FinishParameterBlocks();
                    params_.Flush();
                    return;
                }
            }
            const bool converted =
                arcCode.empty() ? Classify(block, next) : ArcBlock(block, arcCode, true);
            if (!converted) HandOnUnchanged(block, next);
        }
        FinishParameterBlocks();
        params_.Flush();
    }

private:
    // The next block that holds data, its parameter blocks removed; blocks
    // without data on the way are dealt with here (a format statement is
    // recognised, a parameter block dropped). False at the end of the list.
    // `next` counts the input blocks consumed: the 1-based number of the
    // block taken.
    bool TakeData(std::size_t& next, std::string_view& block) {
        const std::size_t count = input_.blockCount();
        // Parameter blocks that stood behind the data of the last block.
        if (hasPercent_) params_.Flush();
        while (next < count) {
            const std::string_view raw = input_[next++];
            // The common block: no "%", no "*" in front, outside any
            // parameter block. The filter would call it data and change
            // nothing, so it is not asked.
            if (!parameters_.inside() &&
                (raw.empty() || (raw.front() != '*' &&
                                 (!hasPercent_ ||
                                  std::memchr(raw.data(), '%', raw.size()) == nullptr)))) {
                block = raw;
                return true;
            }
            const bool wasInside = parameters_.inside();
            const std::vector<std::string>& texts = parameters_.Take(raw);
            bool formatRead = false;
            for (const std::string& text : texts)
                formatRead |= params_.Take(text, next, state_);
            switch (parameters_.part()) {
            case BlockPart::Data:
                // Parameter blocks closed in front of the data go out first.
                if (wasInside) params_.Flush();
                block = parameters_.text();
                return true;
            case BlockPart::FormatLine:
                // Our own header form "*%FS…": a statement the standard
                // reading refused still sets what it can, as it always did.
                if (!formatRead) AdoptFormatStatement(raw);
                break;
            case BlockPart::Parameter:
                // Data behind the parameter block on the same line goes
                // with it: reported, so that it is not lost in silence.
                if (HoldsData(parameters_.text())) CountDropped(next);
                break;
            case BlockPart::Inside:
                if (parameters_.insideSinceOpening() == 1) firstInside_ = next;
                break;
            case BlockPart::Removed: break;
            }
            params_.Flush();
        }
        return false;
    }

    // A format statement met in the input changes the user's own input
    // settings, not a copy for this pass: the blocks after it are decoded by
    // it, and the input settings (and the dialog) keep it after the pass.
    void AdoptFormatStatement(std::string_view block) {
        if (RecognizeFormatStatement(block, settings_)) params_.ForgetFileFormat();
    }

    // A "%" that is never closed swallowed the rest of the list: the blocks
    // after it are reported.
    void FinishParameterBlocks() {
        const std::size_t dropped = parameters_.insideSinceOpening();
        if (!parameters_.inside() || dropped == 0) return;
        if (state_.droppedCount == 0) state_.firstDropped = firstInside_;
        state_.droppedCount += dropped;
    }

    void CountDropped(std::size_t number) {
        if (state_.droppedCount++ == 0) state_.firstDropped = number;
    }

    void CountUnconverted(std::size_t number) {
        if (state_.unconvertedCount++ == 0) state_.firstUnconverted = number;
    }

    // Returns false for a coordinate block that cannot be decoded. `number`
    // is the block's 1-based number in the input.
    bool Classify(std::string_view block, std::size_t number) {
        if (block == "D01" || block == "D02") {
            state_.currentDCode = block;
            return true;
        }
        const char first = block.empty() ? '\0' : block.front();
        if (first == 'X' || first == 'Y') return LinearBlock(block, true);
        if (first == '*') {
            // What is left of a block after its parameter blocks.
            AdoptFormatStatement(block);
            return true;
        }
        const std::string_view head = block.substr(0, 3);
        if (head == kG03 || head == kG02) return ArcBlock(block, head, true);
        if (head == kG01) return LinearBlock(block, false);
        if (const std::size_t k = LeadingModalCodes(block)) {
            // The codes in front are written as they are, in front of the
            // converted block.
            const std::string_view rest = block.substr(k);
            const std::string_view code = rest.substr(0, 3);
            prefix_ = block.substr(0, k);
            const bool converted = code == kG01 ? LinearBlock(rest, false) : ArcBlock(rest, code, true);
            prefix_ = {};
            return converted;
        }
        // Copied unchanged: coordinates in it stay in the input format.
        if (head != kG04 && HasCoordinateWord(block)) CountUnconverted(number);
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
        // Words in the D part belong to a second block written on the same
        // line ("Y2201D02*X2716Y2206D01" in CR mode): the block is handed on.
        if (!words || words->wordInDPart) return false;
        if (params_.incremental() && (words->hasX || words->hasY)) return false;
        if (!words->hasX && !words->hasY) {
            // A G01 block without coordinates only sets the D code.
            state_.currentDCode = words->dPart;
            return true;
        }
        const auto x = ConvertCoordinate(words->hasX ? words->x : state_.xDigits, Axis::X, settings_, params_.own());
        const auto y = ConvertCoordinate(words->hasY ? words->y : state_.yDigits, Axis::Y, settings_, params_.own());
        if (!x || !y) return false;
        if (words->hasX) state_.xDigits = words->x;
        if (words->hasY) state_.yDigits = words->y;
        state_.currentDCode = words->dPart;
        out_.clear();
        if (!prefix_.empty()) out_ += prefix_;
        if (WritesGCode(settings_, gcode_, kG01)) out_ += kG01;
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
        if (!words || words->wordInDPart) return false;
        if (params_.incremental()) return false;
        const auto x = ConvertCoordinate(words->hasX ? words->x : state_.xDigits, Axis::X, settings_, params_.own());
        const auto y = ConvertCoordinate(words->hasY ? words->y : state_.yDigits, Axis::Y, settings_, params_.own());
        std::optional<ConvertedOffset> i, j;
        if (words->hasI && !(i = ConvertOffset(words->i, settings_, Axis::X, params_.own()))) return false;
        if (words->hasJ && !(j = ConvertOffset(words->j, settings_, Axis::Y, params_.own()))) return false;
        if (!x || !y) return false;
        const char codeDigit = code[2];
        if (words->hasX) state_.xDigits = words->x;
        if (words->hasY) state_.yDigits = words->y;
        state_.currentDCode = words->dPart;
        out_.clear();
        if (!prefix_.empty()) out_ += prefix_;
        if (WritesGCode(settings_, gcode_, code)) out_ += code;
        FormatArcXY(*x, *y, settings_, state_, out_);
        FormatArcIJ(i, j, settings_, state_, out_);
        out_ += words->dPart;
        gcode_ = "G0";
        gcode_ += codeDigit;
        Store();
        return true;
    }

    void PassThrough(std::string_view block) {
        if (HeaderStillDue(settings_, output_)) WriteFormatHeader(settings_, output_);
        const std::string_view head = block.substr(0, 3);
        const std::string_view unitCode = UnitCode(settings_.outputUnit);
        if ((head == kG70 || head == kG71) && !unitCode.empty()) {
            // The unit code must name the unit the coordinates are written in.
            out_.assign(unitCode);
            out_.append(block.substr(3));
        } else {
            out_.assign(block);
        }
        Store();
    }

    // A coordinate block that cannot be decoded goes to the output as it
    // was, together with the lone G codes joined to it; the state stays.
    void HandOnUnchanged(std::string_view block, std::size_t number) {
        CountUnconverted(number);
        for (char digit : loneCodes_) {
            char code[3] = {'G', '0', digit};
            PassThrough(std::string_view(code, 3));
        }
        PassThrough(block);
    }

    void Store() {
        if (CodeAs<Switch>(settings_.outputEob) == Switch::On) out_.push_back('*');
        output_.Append(out_);
    }

    const InputBlockList& input_;
    ConversionSettings& settings_;
    ConverterState& state_;
    std::string& gcode_;
    OutputBlockList& output_;
    gerber::ParameterTextCollector parameters_;
    ParameterOutput params_;
    const bool hasPercent_;        // the input has a "%" somewhere
    std::size_t firstInside_ = 0;  // 1-based number of the first block inside the open "%"
    std::string loneCodes_;        // digits of the lone G codes joined to the block
    std::string_view prefix_;      // G codes written in front of the converted block
    std::string work_;
    std::string out_;
};

}  // namespace

std::string UnconvertedBlocksMessage(std::size_t count, std::size_t firstNumber) {
    return "座標を変換できないブロックが" + std::to_string(count) + "個あります（最初は" +
           std::to_string(firstNumber) + "番目のブロックです）。これらのブロックは変換せずにそのまま出力しました。";
}

std::string DroppedBlocksMessage(std::size_t count, std::size_t firstNumber) {
    return "パラメータブロック（「%」〜「%」）と一緒に出力しなかったブロックが" + std::to_string(count) +
           "個あります（最初は" + std::to_string(firstNumber) +
           "番目のブロックです）。「%」の対応を確認して下さい。";
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
    if (state.droppedCount > 0)
        ShowCheckMessage(dialogs, DroppedBlocksMessage(state.droppedCount, state.firstDropped));
    return ConvertOutcome::Converted;
}

}  // namespace mutaplot
