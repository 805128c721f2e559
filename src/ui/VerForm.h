#pragma once
// バージョン情報: product name, version and an ＯＫ button that closes the box.

#include "ui/VersionBox.h"

namespace mutaplot {

class VerForm final : public QDialog {
    Q_OBJECT
public:
    explicit VerForm(QWidget* parent);
    QLabel *Label1, *Label2;  // product name, version
    QPushButton* Command1;    // ＯＫ
};

}  // namespace mutaplot
