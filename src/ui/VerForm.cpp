#include "ui/VerForm.h"

namespace mutaplot {

VerForm::VerForm(QWidget* parent) : QDialog(parent) {
    const VersionBoxParts parts = BuildVersionBox(this, "VerForm", "Mutaplot+", "Ver.1.63");
    Label1 = parts.product;
    Label2 = parts.version;
    Command1 = parts.ok;
}

}  // namespace mutaplot
