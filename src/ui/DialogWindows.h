#pragma once
// How the small settings dialogs are shown and laid out: a fresh dialog in
// place of the one shown before, and the row of buttons at the bottom right.

#include <QDialog>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace mutaplot {

// Replaces the dialog in `slot` by `fresh`, keeping the place of a dialog
// that was shown, fills it (`fill(fresh)`) and shows it in front.
template <typename Form, typename Fill>
Form* ShowFresh(QPointer<Form>& slot, Form* fresh, Fill fill) {
    const bool wasShown = slot && slot->isVisible();
    const QPoint place = wasShown ? slot->pos() : QPoint();
    delete slot.data();
    slot = fresh;
    fill(fresh);
    if (wasShown) fresh->move(place);
    fresh->show();
    fresh->raise();
    fresh->activateWindow();
    return fresh;
}

// Makes the dialog's ＯＫ button (the default one) and キャンセル button and
// connects them to the dialog's handlers.
template <typename Dialog>
void MakeOkCancel(Dialog* dialog, QPushButton*& ok, void (Dialog::*onOk)(), QPushButton*& cancel,
                  void (Dialog::*onCancel)()) {
    ok = new QPushButton(QString::fromUtf8("ＯＫ"), dialog);
    cancel = new QPushButton(QString::fromUtf8("キャンセル"), dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, onOk);
    QObject::connect(cancel, &QPushButton::clicked, dialog, onCancel);
}

// The buttons side by side at the right of a row.
inline QHBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* b : buttons) row->addWidget(b);
    return row;
}

// Lays `body` out above the row of `buttons`; the dialog keeps the size of
// its contents.
inline void LayOutWithButtons(QDialog* dialog, QLayout* body,
                              std::initializer_list<QPushButton*> buttons) {
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(body);
    layout->addLayout(ButtonRow(buttons));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace mutaplot
