// Temporary stand-in for the block reader until it lands; removed then.
#include "input/BlockReader.h"

#include <fstream>
#include <iterator>

namespace mutaplot {

ReadOutcome ReadBlockFile(const std::filesystem::path& path, const ConversionSettings&,
                          InputBlockList& blocks, ReaderEntry, Dialogs& dialogs, Pointer& pointer,
                          ReadStatus* status) {
    if (path.empty()) {
        if (status) status->ShowInputTitle();
        return ReadOutcome::Failed;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ShowCheckMessage(dialogs, "不正なファイル形式か、ファイルの入力形式が異なります。改行コードや文字コードの設定を確認して下さい。");
        return ReadOutcome::Failed;
    }
    if (status) status->ShowReading();
    BusyPointer busy(pointer);
    pointer.ProcessPendingEvents();
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    blocks.Clear();
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = data.find('\r', start);
        if (end == std::string::npos) end = data.size();
        std::string_view line(data.data() + start, end - start);
        if (!line.empty() && line.back() == '*') line.remove_suffix(1);
        blocks.Append(line);
        start = end + 1;
        if (start < data.size() && data[start] == '\n') ++start;
    }
    if (status) status->ShowInputTitle();
    return ReadOutcome::Read;
}

}  // namespace mutaplot
