#include "export/DxfExport.h"

#include "platform/AtomicFile.h"
#include "viewer/ImageRendering.h"
#include "viewer/PlotWalk.h"

#include <fstream>
#include <functional>
#include <iterator>

namespace mutaplot {

namespace {

// Hands the text on in pieces of about this size when the export streams
// to its file (the DXF text is many times the size of the Gerber data).
constexpr std::size_t kFlushBytes = 1 << 20;

using TextFlush = std::function<void(std::string&)>;

class DxfSink final : public PlotSink {
public:
    DxfSink(const PlotRecords& records, const DxfOptions& options, std::string& out,
            const TextFlush& flush)
        : records_(records), options_(options), out_(out), flush_(flush) {}
    void Block(std::string_view dCode) override {
        WriteDxfBlock(dCode, records_, options_, handles_, out_);
        Flush();
    }
    void Arc(std::string_view gCode) override {
        WriteDxfArc(gCode, records_, options_, handles_, out_);
        Flush();
    }
    void SetPenWidth(int) override {}

private:
    void Flush() {
        if (flush_ && out_.size() >= kFlushBytes) flush_(out_);
    }
    const PlotRecords& records_;
    const DxfOptions& options_;
    DxfHandles handles_;
    std::string& out_;
    const TextFlush& flush_;
};

// The objects of a file drawn with its own definitions; polarity has no
// place in the drawing.
class DxfImageSink final : public gerber::ImageSink {
public:
    DxfImageSink(const ViewTransform& transform, const DxfOptions& options, std::string& out,
                 const TextFlush& flush)
        : transform_(transform), options_(options), out_(out), flush_(flush) {}
    void NegativeImage() override {}
    void SetPolarity(InkPolarity) override {}
    void Object(const gerber::ImageObject& object, const FilledFigure& figure) override {
        WriteDxfImageObject(object, figure, transform_, options_, handles_, out_);
        if (flush_ && out_.size() >= kFlushBytes) flush_(out_);
    }

private:
    const ViewTransform& transform_;
    const DxfOptions& options_;
    DxfHandles handles_;
    std::string& out_;
    const TextFlush& flush_;
};

// Arcs of the drawing follow their curve within this, in picture units.
constexpr double kDxfArcTolerance = 1e-4;

// Rough size of the entities of one block, to reserve the text at once.
constexpr std::size_t kBytesPerBlockGuess = 96;

// Template lines, entities of the export walk, trailer; `flush` (when set)
// takes the text gathered so far whenever it grows past kFlushBytes.
void EmitDxfText(const std::vector<std::string>& templateLines, const InputBlockList& blocks,
                 const ApertureTable& table, PlotRecords& records, const ViewControls& controls,
                 const FileFormat& format, const DxfOptions& options, Dialogs& dialogs, std::string& out,
                 const TextFlush& flush) {
    for (const std::string& line : templateLines) {
        out += line;
        out += "\r\n";
    }
    PrepareWalk(controls, format, records);
    if (blocks.blockCount() == 0) {
        ShowCheckMessage(dialogs, kNoDisplayFileMessage);
    } else if (DrawsFileApertures(blocks, controls)) {
        DxfImageSink sink(records.transform, options, out, flush);
        gerber::ImageView view = ImageViewOf(records.transform, format);
        view.tolerance = kDxfArcTolerance;
        gerber::WalkImage(blocks, controls.inputSeparator, view, sink, dialogs);
    } else {
        DxfSink sink(records, options, out, flush);
        WalkBlocks(blocks, table, records, kDxfWalkRules, sink, dialogs);
    }
    out += kDxfTrailer;
}

}  // namespace

DxfOptions DxfOptionsOf(const ConversionSettings& settings) noexcept {
    return DxfOptions{CodeAs<DxfForm>(settings.dxfFormat) == DxfForm::Ac1009,
                      CodeAs<DxfLineWidth>(settings.dxfLineWidth) == DxfLineWidth::With};
}

std::filesystem::path DxfTemplatePath(const std::filesystem::path& appFolder, bool ac1009) {
    return appFolder / (ac1009 ? kDxfTemplateAc1009 : kDxfTemplateAc1003);
}

std::vector<std::string> SplitTemplateLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r') continue;
        lines.emplace_back(bytes.substr(start, i - start));
        if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::optional<std::vector<std::string>> ReadDxfTemplate(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return SplitTemplateLines(bytes);
}

std::string BuildDxfText(const std::vector<std::string>& templateLines, const InputBlockList& blocks,
                         const ApertureTable& table, PlotRecords& records,
                         const ViewControls& controls, const FileFormat& format, const DxfOptions& options,
                         Dialogs& dialogs) {
    std::string out;
    out.reserve(4096 + blocks.blockCount() * kBytesPerBlockGuess);
    EmitDxfText(templateLines, blocks, table, records, controls, format, options, dialogs, out,
                TextFlush());
    return out;
}

DxfExportResult RunDxfExport(const InputBlockList& blocks, const ApertureTable& table,
                             PlotRecords& records, const ViewControls& controls,
                             const ConversionSettings& settings,
                             const std::filesystem::path& appFolder,
                             std::vector<std::string>& templateBuffer, Dialogs& dialogs,
                             Pointer& pointer, const std::function<void()>& beforeWalk) {
    const DxfOptions options = DxfOptionsOf(settings);
    templateBuffer.clear();
    auto lines = ReadDxfTemplate(DxfTemplatePath(appFolder, options.ac1009));
    if (!lines) {
        ShowCheckMessage(dialogs, kDxfTemplateMessage);
        return DxfExportResult::TemplateUnreadable;
    }
    templateBuffer = std::move(*lines);

    FileDialogFlags flags;
    flags.hideReadOnly = true;
    flags.overwritePrompt = true;
    const std::string target = dialogs.SaveFileName(kDxfFileFilter, flags);
    if (target.empty()) return DxfExportResult::Cancelled;

    BusyPointer busy(pointer);
    pointer.ProcessPendingEvents();
    // Streamed to a temporary file beside the target, renamed over it at the end.
    AtomicFileWriter writer{std::filesystem::path(target)};
    if (beforeWalk) beforeWalk();
    std::string text;
    text.reserve(kFlushBytes + 4096);
    const TextFlush flush = [&writer](std::string& piece) {
        writer.Write(piece);
        piece.clear();
    };
    EmitDxfText(templateBuffer, blocks, table, records, controls, ScanFileFormat(blocks, settings),
                options, dialogs, text, flush);
    writer.Write(text);
    if (blocks.blockCount() != 0) pointer.SetPointer(PointerShape::Arrow);
    if (!writer.Commit()) {
        ShowCheckMessage(dialogs, kDxfWriteMessage);
        return DxfExportResult::WriteFailed;
    }
    return DxfExportResult::Written;
}

}  // namespace mutaplot
