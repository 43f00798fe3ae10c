#pragma once

// Choices made in Qt's own print dialog through its widgets, as a person
// makes them: only in a widget that a person can see and use.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QTabWidget>
#include <QVariant>
#include <QWidget>

namespace printdialogwidgets {

// Brings forward the tabs that hold widget, as a person would by clicking
// them; true when the widget can then be seen and used.
inline bool personCanReach(QWidget& widget) {
  for (QWidget* parent = widget.parentWidget(); parent != nullptr; parent = parent->parentWidget()) {
    auto* tabs = qobject_cast<QTabWidget*>(parent);
    if (tabs == nullptr) continue;
    for (int i = 0; i < tabs->count(); ++i) {
      if (!tabs->widget(i)->isAncestorOf(&widget)) continue;
      if (!tabs->isTabEnabled(i)) return false;
      tabs->setCurrentIndex(i);
    }
  }
  return widget.isEnabled() && widget.isVisibleTo(widget.window());
}

// The dialog's widget of that name, when a person can reach it.
template <typename Widget>
Widget* reachable(QWidget& dialog, const char* name) {
  auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
  return widget != nullptr && personCanReach(*widget) ? widget : nullptr;
}

// Opens the part of the print dialog that holds the page range, copies and
// page order ("Options >>"); false when there is no such button.
inline bool showOptions(QDialog& dialog) {
  for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
    if (button->text().contains(QStringLiteral("Options >>"))) {
      button->click();
      return true;
    }
  }
  return false;
}

// Each false when a person could not make the choice.
inline bool click(QWidget& dialog, const char* name) {
  auto* button = reachable<QAbstractButton>(dialog, name);
  if (button != nullptr) button->click();
  return button != nullptr;
}

inline bool setChecked(QWidget& dialog, const char* name, bool checked) {
  auto* box = reachable<QCheckBox>(dialog, name);
  if (box != nullptr) box->setChecked(checked);
  return box != nullptr;
}

inline bool setValue(QWidget& dialog, const char* name, int value) {
  auto* spin = reachable<QSpinBox>(dialog, name);
  if (spin != nullptr) spin->setValue(value);
  return spin != nullptr && spin->value() == value;
}

inline bool setDecimal(QWidget& dialog, const char* name, double value) {
  auto* spin = reachable<QDoubleSpinBox>(dialog, name);
  if (spin != nullptr) spin->setValue(value);
  return spin != nullptr && spin->value() == value;
}

// Picks the item that carries data, as Qt's paper sizes carry their QPageSize.
inline bool choose(QWidget& dialog, const char* name, const QVariant& data) {
  auto* combo = reachable<QComboBox>(dialog, name);
  const int index = combo != nullptr ? combo->findData(data) : -1;
  if (index >= 0) combo->setCurrentIndex(index);
  return index >= 0;
}

}  // namespace printdialogwidgets
