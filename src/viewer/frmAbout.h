#pragma once
// バージョン情報 of the viewer: product name, version and an ＯＫ button that
// closes the box.

#include "ui/VersionBox.h"

namespace mutaplot {

class frmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent);
    QLabel *Label1, *Label3;  // product name, version
    QPushButton* Command1;    // ＯＫ
};

}  // namespace mutaplot
