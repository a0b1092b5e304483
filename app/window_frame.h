// The window's own title bar, for platforms whose title bar would offer a
// maximise button that the fixed-size window cannot use (Qt's title bar on
// Wayland always draws one). The frame holds the main window below a bar
// with its icon, its caption, a minimise and a close button; dragging the
// bar moves the window. Closing the frame closes the main window first, so
// its questions about unsaved work still come.
#pragma once

#include <QWidget>

class QToolButton;

namespace varsk {

class WindowFrame final : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kTitleBarHeight = 24;

  // Takes `window` (a top-level window of fixed size) in as its client area.
  explicit WindowFrame(QWidget& window);

  // Whether the platform's own title bar cannot do without a maximise button.
  static bool NeededOnThisPlatform();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QWidget& window_;
  QToolButton* minimise_ = nullptr;
  QToolButton* close_ = nullptr;
};

}  // namespace varsk
