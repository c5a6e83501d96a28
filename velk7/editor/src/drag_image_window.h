#pragma once
// The picture that follows the pointer during a drag: a small frameless window that takes
// no input and no activation, so the widget beneath it stays the drop target.
#include <QPixmap>
#include <QWidget>

namespace velk7 {

class DragImageWindow : public QWidget {
  Q_OBJECT

 public:
  explicit DragImageWindow(QWidget* owner);

  void setPicture(const QPixmap& picture);
  const QPixmap& picture() const { return picture_; }
  // Shows the picture with its hot spot under `globalPointer`.
  void showAt(QPoint globalPointer);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
};

}  // namespace velk7
