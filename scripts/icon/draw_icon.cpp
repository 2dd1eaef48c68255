// Draws the window's icon, a marigold blossom over a sheet of lined paper, into
// a 32 x 32 PNG named by the first argument.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QtMath>

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  if (argc != 2) return 2;
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);

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
