#include "ui/DialogParts.h"

#include "settings/ConversionSettings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mutaplot {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

QButtonGroup* MakeOptionFrame(QGroupBox* frame, std::initializer_list<QRadioButton**> options,
                              std::initializer_list<const char*> captions) {
    auto* group = new QButtonGroup(frame);
    auto* layout = new QVBoxLayout(frame);
    int code = 1;
    auto caption = captions.begin();
    for (QRadioButton** option : options) {
        *option = new QRadioButton(U(*caption++), frame);
        group->addButton(*option, code++);
        layout->addWidget(*option);
    }
    layout->addStretch();
    return group;
}

void SelectOnly(QButtonGroup* group, int code) {
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons()) b->setChecked(false);
    group->setExclusive(true);
    if (QAbstractButton* b = group->button(code)) b->setChecked(true);
}

std::optional<std::uint8_t> SelectedCode(const QButtonGroup* group) {
    const int id = group->checkedId();
    if (id < 1) return std::nullopt;
    return static_cast<std::uint8_t>(id);
}

QComboBox* MakeFormatFrame(QGroupBox* frame) {
    auto* combo = new QComboBox(frame);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumContentsLength(10);
    // Every format in view at once, without scrolling.
    combo->setMaxVisibleItems(static_cast<int>(kCoordinateFormats.size()));
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(combo);
    layout->addStretch();
    return combo;
}

void AppendFormatCaptions(QComboBox* combo) {
    for (const CoordinateFormat& f : kCoordinateFormats)
        combo->addItem(QString::fromUtf8(f.caption.data(), static_cast<qsizetype>(f.caption.size())));
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
}

void ShowFormatCaption(QComboBox* combo, int code) {
    if (FindCoordinateFormat(code)) combo->setCurrentIndex(code - 1);
}

std::optional<std::uint8_t> FormatCodeForCaption(const QString& text) {
    const std::string utf8 = text.toStdString();
    for (const CoordinateFormat& f : kCoordinateFormats)
        if (f.caption == utf8) return f.code;
    return std::nullopt;
}

}  // namespace mutaplot
