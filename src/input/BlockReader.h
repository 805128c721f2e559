#pragma once
// Reads a photoplotter file into the block list, cut by the input separator
// and decoded by the input character code of the settings.

#include "input/BlockList.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"
#include "settings/ConversionSettings.h"

#include <filesystem>
#include <string>

namespace mutaplot {

// The open-file dialog's filter for photoplotter files.
inline constexpr const char* kPhotoFileFilter =
    "photoﾌｧｲﾙ(*.photo.*)|*.photo.*|GBRﾌｧｲﾙ(*.gbr,*.g**)|*.gbr;*.g**|すべてのﾌｧｲﾙ(*.*)|*.*";

// Which menu entry started the read: the main window's ﾌｧｲﾙを開く or the
// viewer's ファイルを開く. The viewer shows no status texts and allows 100
// characters (not 1000) before the first "*" in ASCII "*" mode.
enum class ReaderEntry { MainWindow, Viewer };

// The main window's status-text effects of a read; the viewer passes none.
class ReadStatus {
public:
    virtual ~ReadStatus() = default;
    virtual void ShowReading() = 0;        // Text1 = "《読み込み中》しばらくお待ち下さい。"
    virtual void ShowInputTitle() = 0;     // Text1 = "入力データ"
    virtual void ClearOutputStatus() = 0;  // Text2 cleared
};

enum class ReadOutcome { Read, Failed };

// Reads `path` (already chosen in the open-file dialog; an empty path does
// nothing and returns Failed without a message) into `blocks`. Failures are
// reported through `dialogs` with the reader's messages; the list then holds
// the blocks stored before the failure.
ReadOutcome ReadBlockFile(const std::filesystem::path& path, const ConversionSettings& settings,
                          InputBlockList& blocks, ReaderEntry entry, Dialogs& dialogs,
                          Pointer& pointer, ReadStatus* status);

}  // namespace mutaplot
