// Draws the window's icon, a marigold blossom over a sheet of lined paper, into
// the PNG named by the first argument: 32 x 32, or SIZE x SIZE when a second
// argument gives SIZE (the menu entry's icons, 16 to 256).
// Usage: draw_icon OUT.png [SIZE]
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtMath>

#include <string>

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  if (argc != 2 && argc != 3) return 2;
  const int size = argc == 3 ? std::stoi(argv[2]) : 32;
  if (size < 16 || size > 1024) return 2;
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // Draws on the 32 x 32 grid below at any size.
  painter.scale(size / 32.0, size / 32.0);

  painter.setPen(QPen(QColor(90, 90, 90), 1));
  painter.setBrush(Qt::white);
  painter.drawRect(QRectF(1.5, 5.5, 19, 25));
  painter.setPen(QPen(QColor(70, 110, 200), 1.5));
  for (int y = 11; y <= 27; y += 4) painter.drawLine(QPointF(4, y), QPointF(18, y));

  const QPointF centre(22, 11);
  painter.setPen(QPen(QColor(170, 70, 0), 0.8));
  painter.setBrush(QColor(250, 140, 0));
  for (int i = 0; i < 10; ++i) {
    const qreal angle = qDegreesToRadians(36.0 * i);
    const QPointF tip = centre + QPointF(6.5 * qCos(angle), 6.5 * qSin(angle));
    painter.drawEllipse((centre + tip) / 2, 3.2, 3.2);
  }
  painter.setBrush(QColor(255, 205, 40));
  painter.drawEllipse(centre, 3.6, 3.6);
  painter.end();
  return image.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
