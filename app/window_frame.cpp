#include "app/window_frame.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

namespace varsk {
namespace {

constexpr int kButtonWidth = 22;
constexpr int kIconSize = 16;
constexpr int kMargin = 4;

}  // namespace

bool WindowFrame::NeededOnThisPlatform() {
  return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

WindowFrame::WindowFrame(QWidget& window)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), window_(window) {
  setObjectName(QStringLiteral("WindowFrame"));
  setWindowTitle(window.windowTitle());
  setWindowIcon(window.windowIcon());
  setAccessibleName(window.windowTitle());
  window.setParent(this, Qt::Widget);
  window.move(0, kTitleBarHeight);
  setFixedSize(window.width(), kTitleBarHeight + window.height());

  const auto button = [this](QStyle::StandardPixmap icon, const QString& name, int fromRight) {
    auto* made = new QToolButton(this);
    made->setIcon(style()->standardIcon(icon, nullptr, this));
    made->setAutoRaise(true);
    made->setFocusPolicy(Qt::NoFocus);
    made->setToolTip(name);
    made->setAccessibleName(name);
    made->setGeometry(width() - fromRight * kButtonWidth - 1, 1, kButtonWidth, kTitleBarHeight - 2);
    return made;
  };
  minimise_ = button(QStyle::SP_TitleBarMinButton, QStringLiteral("Minimise"), 2);
  close_ = button(QStyle::SP_TitleBarCloseButton, QStringLiteral("Close"), 1);
  connect(minimise_, &QToolButton::clicked, this, &QWidget::showMinimized);
  connect(close_, &QToolButton::clicked, this, &QWidget::close);
}

void WindowFrame::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect bar(0, 0, width(), kTitleBarHeight);
  const bool active = isActiveWindow();
  painter.fillRect(bar, palette().color(QPalette::Button).darker(active ? 112 : 104));
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(bar.bottomLeft(), bar.bottomRight());
  const int iconTop = (kTitleBarHeight - kIconSize) / 2;
  windowIcon().paint(&painter, QRect(kMargin, iconTop, kIconSize, kIconSize));
  QFont caption = font();
  caption.setBold(true);
  painter.setFont(caption);
  painter.setPen(
      palette().color(active ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  const int buttons = 2 * kButtonWidth + kMargin;
  painter.drawText(bar.adjusted(buttons, 0, -buttons, 0), Qt::AlignCenter, windowTitle());
}

void WindowFrame::mousePressEvent(QMouseEvent* event) {
  // The bar moves the window; there is no double-click to maximise.
  if (event->button() == Qt::LeftButton && event->position().y() < kTitleBarHeight &&
      windowHandle() != nullptr) {
    windowHandle()->startSystemMove();
    return;
  }
  QWidget::mousePressEvent(event);
}

void WindowFrame::closeEvent(QCloseEvent* event) {
  // The main window decides: it asks first when work is not saved.
  if (window_.close()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void WindowFrame::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange || event->type() == QEvent::WindowTitleChange) {
    update();
  }
  QWidget::changeEvent(event);
}

}  // namespace varsk
