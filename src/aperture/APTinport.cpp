#include "aperture/APTinport.h"

#include "aperture/ColmoImport.h"
#include "aperture/GerberImport.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace mutaplot {

namespace {

QString U8(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

APTinport::APTinport(ApertureTable& table, Dialogs& dialogs, Pointer& pointer, QWidget* parent)
    : QDialog(parent), table_(table), dialogs_(dialogs), pointer_(pointer) {
    setObjectName("APTinport");
    setWindowTitle(U8(kAptInportTitle));
    setModal(false);
    Label1 = new QLabel(U8(kAptInportPrompt), this);
    Label1->setObjectName("Label1");
    Combo1 = new QComboBox(this);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->addItem(U8(kColmoFormat));
    Combo1->addItem(U8(kRs274xFormat));
    Combo1->setCurrentIndex(0);
    Command1 = new QPushButton(U8("ﾌｧｲﾙ選択"), this);
    Command1->setObjectName("Command1");
    Command1->setDefault(true);
    Command2 = new QPushButton(U8("ｷｬﾝｾﾙ"), this);
    Command2->setObjectName("Command2");
    Command2->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, &APTinport::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &APTinport::Command2_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Combo1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

void APTinport::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    // The editor becomes the active window again.
    QWidget* editor = parentWidget();
    const bool active = isActiveWindow();
    hide();
    if (editor && active && editor->isVisible()) editor->activateWindow();
    deleteLater();
}

void APTinport::Command1_Click() {
    if (unloaded_) return;
    const std::string format = Combo1->currentText().toStdString();
    const std::string path = dialogs_.OpenFileName(ImportFileFilter(format), FileDialogFlags{true, false});
    if (!path.empty()) ImportCadReport(format, path, table_, dialogs_, pointer_);
    pointer_.SetPointer(PointerShape::Default);
    emit importEnded();
    Unload();
}

void APTinport::Command2_Click() { Unload(); }

void APTinport::reject() { Command2_Click(); }

void APTinport::Form_Activate() { Command1->setFocus(); }

void APTinport::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
    QDialog::changeEvent(event);
}

}  // namespace mutaplot
