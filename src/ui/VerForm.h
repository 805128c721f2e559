#pragma once
// バージョン情報: product name, version and an ＯＫ button that closes the box.

#include <QDialog>

class QLabel;
class QPushButton;

namespace mutaplot {

class VerForm final : public QDialog {
    Q_OBJECT
public:
    explicit VerForm(QWidget* parent);
    QLabel *Label1, *Label2;  // product name, version
    QPushButton* Command1;    // ＯＫ
};

}  // namespace mutaplot
