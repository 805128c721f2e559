#include "viewer/frmAbout.h"

#include "ui/DialogParts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mutaplot {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("frmAbout");
    setWindowTitle(U("バージョン情報"));
    setAttribute(Qt::WA_DeleteOnClose);
    Label1 = new QLabel(U("Spectaplot+"), this);
    QFont big = Label1->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    Label1->setFont(big);
    Label3 = new QLabel(U("Ver.1.44"), this);
    Command1 = new QPushButton(U("ＯＫ"), this);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::close);
    auto* button = new QHBoxLayout;
    button->addStretch();
    button->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 12);
    layout->addWidget(Label1);
    layout->addWidget(Label3);
    layout->addSpacing(12);
    layout->addLayout(button);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace mutaplot
