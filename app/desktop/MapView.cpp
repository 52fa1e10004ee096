#include "app/desktop/MapView.h"

#include "app/desktop/QtText.h"
#include "geodesy/Format.h"
#include "geodesy/Platform.h"
#include "project/AppState.h"

namespace vemo {

MapView* MapView::Load(const QString& path, QWidget*) {
  ShowMessage(Format(T(u8"网图显示尚不可用: %s"), PathToGbk(ToPath(path)).c_str()), AppTitle(), MessageIcon::Warning);
  return nullptr;
}

}  // namespace vemo
