#pragma once
// アパーチュア・リストの設定: the aperture list editor. It is loaded hidden when
// the viewer opens, and loading it loads the default list into the table; its
// grid is a view over the one ApertureTable. OK (記憶) hides it, ｷｬﾝｾﾙ unloads
// it and empties the table, so that the next access loads fast.apt again.

#include "aperture/ApertureTable.h"
#include "platform/Dialogs.h"
#include "platform/Pointer.h"

#include <QWidget>

#include <filesystem>

namespace mutaplot {

inline constexpr const char* kAptSetteiTitle = "アパーチュア・リストの設定";

class APTsettei final : public QWidget {
    Q_OBJECT
public:
    // Form_Load: created hidden; fills `table` from the default list
    // (LoadDefaultAptFile with its fallback dialog) unless it is loaded.
    APTsettei(ApertureTable& table, std::filesystem::path appPath, Dialogs& dialogs,
              Pointer& pointer, QWidget* parent = nullptr);
    ~APTsettei() override;

    // Tries the default list again when the table holds none (the default
    // list was missing and its fallback dialog cancelled). True when loaded.
    bool EnsureTableLoaded();

    // What the viewer's アパーチュアの設定 does after showing the editor: grid
    // columns 0 to 3 aligned left, bottom.
    void AlignTitleColumns();

private:
    ApertureTable& table_;
    std::filesystem::path appPath_;
    Dialogs& dialogs_;
    Pointer& pointer_;
};

}  // namespace mutaplot
