#include "viewer/frmAbout.h"

namespace mutaplot {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    const VersionBoxParts parts = BuildVersionBox(this, "frmAbout", "Spectaplot+", "Ver.1.44");
    Label1 = parts.product;
    Label3 = parts.version;
    Command1 = parts.ok;
}

}  // namespace mutaplot
