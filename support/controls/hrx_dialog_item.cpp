#include "support/controls/hrx_dialog_item.h"

#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* kIdProperty = "ravelleDlgCtrlId";
}  // namespace

void SetDlgCtrlID(QWidget* control, int id) {
  if (control) control->setProperty(kIdProperty, id);
}

int GetDlgCtrlID(const QWidget* control) {
  if (!control) return 0;
  const QVariant id = control->property(kIdProperty);
  return id.isValid() ? id.toInt() : 0;
}

QWidget* GetDlgItem(const QWidget* dialog, int id) {
  if (!dialog) return nullptr;
  for (QObject* child : dialog->children()) {
    auto* widget = qobject_cast<QWidget*>(child);
    if (!widget) continue;
    const QVariant childId = widget->property(kIdProperty);
    if (childId.isValid() && childId.toInt() == id) return widget;
  }
  return nullptr;
}
