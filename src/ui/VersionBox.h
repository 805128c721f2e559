#pragma once
// The contents of the two バージョン情報 boxes (the converter's and the
// viewer's): the product name in large bold type, the version under it and
// an ＯＫ button that closes the box.

#include <QDialog>

class QLabel;
class QPushButton;

namespace mutaplot {

struct VersionBoxParts {
    QLabel* product;
    QLabel* version;
    QPushButton* ok;
};

// Names the box `objectName`, titles it バージョン情報 and fills it.
VersionBoxParts BuildVersionBox(QDialog* box, const char* objectName, const char* product,
                                const char* version);

}  // namespace mutaplot
