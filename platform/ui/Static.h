#pragma once

#include "platform/ui/Control.h"

class QImage;

namespace ui {

// Text that the user does not edit.
class StaticText : public Control {
 public:
  using Control::Control;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
  void ApplyText(const QString& text) override;
  QString ReadText() const override;
};

// An icon or bitmap resource.
class Picture : public Control {
 public:
  using Control::Control;
  void SetImage(int imageId);
  // Shows any picture (an image list's, say); its transparent pixels show the dialog behind.
  void SetImage(const QImage& image);

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
};

// An etched line or frame.
class Line : public Control {
 public:
  using Control::Control;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
};

// A titled frame drawn behind the controls it groups.
class GroupBox : public Control {
 public:
  using Control::Control;

 protected:
  QWidget* MakeControlWidget(QWidget* parentWidget) override;
  void ApplyText(const QString& text) override;
  QString ReadText() const override;
};

}  // namespace ui
