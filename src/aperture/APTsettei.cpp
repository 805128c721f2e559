#include "aperture/APTsettei.h"

#include "aperture/AptFile.h"

namespace mutaplot {

APTsettei::APTsettei(ApertureTable& table, std::filesystem::path appPath, Dialogs& dialogs,
                     Pointer& pointer, QWidget* parent)
    : QWidget(parent, Qt::Window),
      table_(table),
      appPath_(std::move(appPath)),
      dialogs_(dialogs),
      pointer_(pointer) {
    setObjectName("APTsettei");
    setWindowTitle(QString::fromUtf8(kAptSetteiTitle));
    EnsureTableLoaded();
}

APTsettei::~APTsettei() = default;

bool APTsettei::EnsureTableLoaded() {
    if (!table_.loaded) LoadDefaultAptFile(appPath_, table_, dialogs_, pointer_);
    return table_.loaded;
}

void APTsettei::AlignTitleColumns() {}

}  // namespace mutaplot
