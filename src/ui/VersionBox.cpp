#include "ui/VersionBox.h"

#include "ui/DialogParts.h"
#include "ui/DialogWindows.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mutaplot {

VersionBoxParts BuildVersionBox(QDialog* box, const char* objectName, const char* product,
                                const char* version) {
    box->setObjectName(objectName);
    box->setWindowTitle(U("バージョン情報"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    VersionBoxParts parts{new QLabel(U(product), box), new QLabel(U(version), box),
                          new QPushButton(U("ＯＫ"), box)};
    QFont big = parts.product->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    parts.product->setFont(big);
    parts.ok->setDefault(true);
    QObject::connect(parts.ok, &QPushButton::clicked, box, &QDialog::close);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(24, 18, 24, 12);
    layout->addWidget(parts.product);
    layout->addWidget(parts.version);
    layout->addSpacing(12);
    layout->addLayout(ButtonRow({parts.ok}));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return parts;
}

}  // namespace mutaplot
